#include "settings_dialog/settings_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "mainwin/main_window_win32.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/fonts_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/modal_win32.h"
#include "platform/win32/subclass_win32.h"
#include "settings_dialog/settings_dialog.h"

namespace vitrell {

namespace {

constexpr double kClientWidthTwips = 5835;
constexpr double kClientHeightTwips = 3930;
constexpr COLORREF kBackColor = RGB(128, 128, 128);
constexpr COLORREF kReadoutText = RGB(255, 255, 128);
constexpr COLORREF kReadoutBack = RGB(64, 64, 64);

constexpr int kHiddenBox = 3;  // Check1(3): loaded and stored, never shown

enum class Kind { Check, Button, Tab, Frame, Spinner, Readout, Caption, Line };
enum class Page { Dialog, Tab0, Tab1 };
enum class Face { Button, TabStrip, CheckBox, FrameCaption, Readout };

// Indexed by Face; all with the Japanese character set.
constexpr std::array<FontSpec, 5> kFonts = {{
    {L"MS UI Gothic", 9, false, false, true},
    {L"MS UI Gothic", 9.75, false, false, true},
    {L"ＭＳ Ｐゴシック", 11.25, false, false, true},
    {L"ＭＳ Ｐゴシック", 9.75, false, false, true},
    {L"ＭＳ ゴシック", 12, true, false, true},
}};
constexpr const wchar_t* kTabCaptions[] = {L"環境設定", L"初期設定"};  // in the tab strip's face
constexpr wchar_t kReadoutDigits[] = L"0123456789";                    // all a read-out ever shows

struct ControlSpec {
    Kind kind;
    int id;
    Page page;
    int frame;  // -1: placed on the tab or the dialog; otherwise Frame1(frame) holds it
    const wchar_t* caption;
    double left, top, width, height;  // twips, relative to the container
    Face face;
    const wchar_t* tip;  // nullptr: none
};

// In focus order: creation order is the z-order, which is the order Tab walks.
constexpr ControlSpec kControls[] = {
    {Kind::Check, kIdCheck1 + 0, Page::Tab0, -1, L"ロゴの表示(&L)", 1395, 510, 1695, 345, Face::CheckBox,
     L" ロゴの表示 "},
    {Kind::Check, kIdCheck1 + 1, Page::Tab0, -1, L"画面のセンタリング(&C)", 1395, 870, 2475, 345, Face::CheckBox,
     L" 画面のセンタリング "},
    {Kind::Check, kIdCheck1 + 2, Page::Tab0, -1, L"手前に表示(&F)", 1395, 1230, 1725, 345, Face::CheckBox,
     L" 手前に表示 "},
    {Kind::Check, kIdCheck1 + 3, Page::Tab0, -1, L"自フォームの透明化(&P)", 855, 1590, 2535, 345, Face::CheckBox,
     L" 自フォームの透明化 "},
    {Kind::Check, kIdCheck1 + 4, Page::Tab0, -1, L"メニューバーの表示(&M)", 1395, 1590, 2535, 345, Face::CheckBox,
     L" メニューバーの表示 "},
    {Kind::Check, kIdCheck1 + 5, Page::Tab0, -1, L"ツールバーの表示(&T)", 1395, 1950, 2385, 345, Face::CheckBox,
     L" ツールバーの表示 "},
    {Kind::Check, kIdCheck1 + 7, Page::Tab0, -1, L"ボタン構成の保存(&B)", 1395, 2310, 2355, 345, Face::CheckBox,
     L" ボタン構成の保存 "},
    {Kind::Button, kIdCommand2, Page::Tab0, -1, L"...", 3780, 2310, 325, 300, Face::TabStrip, L" ツールバーの変更 "},
    {Kind::Check, kIdCheck1 + 6, Page::Tab0, -1, L"最後のアクティブタブ(&A)", 1395, 2670, 2565, 345, Face::CheckBox,
     L" 最後のアクティブタブ "},
    {Kind::Button, kIdCommand1 + 0, Page::Dialog, -1, L"OK", 150, 3525, 1300, 300, Face::Button, L" OK "},
    {Kind::Button, kIdCommand1 + 1, Page::Dialog, -1, L"キャンセル", 1560, 3525, 1300, 300, Face::Button,
     L" キャンセル "},
    {Kind::Button, kIdCommand1 + 2, Page::Dialog, -1, L"適用(&A)", 2970, 3525, 1300, 300, Face::Button, L" 適用 "},
    {Kind::Button, kIdCommand1 + 3, Page::Dialog, -1, L"ヘルプ", 4380, 3525, 1300, 300, Face::Button, L" ヘルプ "},
    {Kind::Tab, kIdTab, Page::Dialog, -1, nullptr, 165, 120, 5505, 3255, Face::TabStrip, nullptr},
    {Kind::Frame, kIdFrame1 + 0, Page::Tab1, -1, L" 認知 ", 780, 1275, 1320, 930, Face::FrameCaption, L" 認知 "},
    {Kind::Spinner, kIdUpDown1 + 0, Page::Tab1, 0, nullptr, 795, 420, 240, 240, Face::Readout, L" 認知 "},
    {Kind::Readout, kIdLabel1 + 0, Page::Tab1, 0, L"", 330, 390, 735, 300, Face::Readout, L" 認知 "},
    {Kind::Frame, kIdFrame1 + 1, Page::Tab1, -1, L" 透明度 ", 2835, 615, 1980, 2250, Face::FrameCaption, L" 透明度 "},
    {Kind::Spinner, kIdUpDown1 + 1, Page::Tab1, 1, nullptr, 795, 420, 240, 240, Face::Readout, L" 透明度 "},
    {Kind::Readout, kIdLabel1 + 1, Page::Tab1, 1, L"", 330, 390, 735, 300, Face::Readout, L" 透明度 "},
    {Kind::Button, kIdCommand3, Page::Tab1, 1, L"初期値に戻す", 330, 1680, 1300, 300, Face::Button, L" 初期値に戻す "},
    {Kind::Readout, kIdLabel1 + 2, Page::Tab1, 1, L"", 330, 1230, 735, 300, Face::Readout, L" 初期 透明度 "},
    {Kind::Spinner, kIdUpDown1 + 2, Page::Tab1, 1, nullptr, 795, 1260, 240, 240, Face::Readout, L" 初期 透明度 "},
    {Kind::Caption, kIdLabel2, Page::Tab1, 1, L" 初期値 ", 150, 840, 735, 195, Face::FrameCaption, nullptr},
    {Kind::Line, kIdLine1, Page::Tab1, 1, nullptr, 0, 930, 1950, 15, Face::FrameCaption, nullptr},
};

const ControlSpec* FindSpec(int id) {
    for (const ControlSpec& spec : kControls) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

// For the ids of the table itself.
const ControlSpec& SpecOf(int id) {
    return *FindSpec(id);
}

const ControlSpec& TabSpec() {
    return SpecOf(kIdTab);
}

// A control's rectangle on the dialog's client area, in twips.
RectTwips PlaceOf(const ControlSpec& spec) {
    RectTwips r{spec.left, spec.top, spec.width, spec.height};
    if (spec.frame >= 0) {
        const ControlSpec& frame = SpecOf(kIdFrame1 + spec.frame);
        r.left += frame.left;
        r.top += frame.top;
    }
    if (spec.page != Page::Dialog) {
        r.left += TabSpec().left;
        r.top += TabSpec().top;
    }
    return r;
}

RECT PixelRect(const RectTwips& r) {
    const int left = TwipsToPixelsX(r.left);
    const int top = TwipsToPixelsY(r.top);
    return {left, top, left + TwipsToPixelsX(r.width), top + TwipsToPixelsY(r.height)};
}

bool InRange(int id, int first, int count) {
    return id >= first && id < first + count;
}

// Every character drawn in a face: the captions of the controls that use it, the tab strip's captions and the
// read-outs' digits. The '&' of an access key is not drawn.
std::wstring TextsIn(Face face) {
    std::wstring text;
    for (const ControlSpec& spec : kControls) {
        if (spec.face == face && spec.caption)
            text += spec.caption;
    }
    if (face == Face::TabStrip) {
        for (const wchar_t* caption : kTabCaptions)
            text += caption;
    }
    if (face == Face::Readout)
        text += kReadoutDigits;
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

bool RegisterClasses(HINSTANCE instance, WNDPROC dialogProc) {
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, kSettingsDialogClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = dialogProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kSettingsDialogClass;  // no class brush: the window paints its own grey
        if (!RegisterClassExW(&wc))
            return false;
    }
    if (!GetClassInfoExW(instance, kHiddenOwnerClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = kHiddenOwnerClass;
        if (!RegisterClassExW(&wc))
            return false;
    }
    return true;
}

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    wchar_t name[64] = {};
    if (GetClassNameW(window, name, 64) && std::wstring_view(name) == kMainWindowClass) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// The main window of this thread, if it exists.
HWND ThreadMainWindow() {
    HWND found = nullptr;
    (void)EnumThreadWindows(GetCurrentThreadId(), FindMainWindow, reinterpret_cast<LPARAM>(&found));  // FALSE: found
    return found;
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM param) {
    if (IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> EnabledThreadWindows() {
    std::vector<HWND> windows;
    (void)EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&windows));  // never stops
    return windows;
}

// A focused spinner takes the arrow keys itself instead of letting the dialog move the focus with them.
LRESULT CALLBACK SpinnerKeys(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE)
        return CallOriginal(window, msg, wParam, lParam) | DLGC_WANTARROWS;
    return CallOriginal(window, msg, wParam, lParam);
}

class SettingsDialogWindow final : public BaseWindow<SettingsDialogWindow>, private ISettingsDialogView {
  public:
    SettingsDialogWindow(AppContext& app, ISettingsHost& host, bool modal) : form_(app, host, *this), modal_(modal) {}

    ~SettingsDialogWindow() override {
        if (hwnd_)
            DestroyWindow(hwnd_);
        if (ownOwner_)
            DestroyWindow(ownOwner_);  // the dialog itself could not be created
    }

    bool Create(HINSTANCE instance) {
        if (!RegisterClasses(instance, WindowProc))
            return false;
        for (size_t i = 0; i < kFonts.size(); ++i)
            fonts_[i] = MakeFont(kFonts[i], ScreenDpiY(), TextsIn(static_cast<Face>(i)));
        backBrush_ = UniqueGdiObject(CreateSolidBrush(kBackColor));
        readoutBrush_ = UniqueGdiObject(CreateSolidBrush(kReadoutBack));

        // Opened from a menu or the toolbar, the dialog stays above the main window, which may be kept in
        // front; opened from the system menu it stands on its own. Either way an owner keeps it off the
        // task bar, so the stand-alone one gets a hidden owner of its own.
        owner_ = modal_ ? ThreadMainWindow() : nullptr;
        if (!owner_) {
            ownOwner_ =
                CreateWindowExW(0, kHiddenOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
            owner_ = ownOwner_;
        }

        // No WS_CLIPCHILDREN: the page body under the group boxes, which paint only their border, is the
        // dialog's to paint.
        constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        RECT frame{0, 0, TwipsToPixelsX(kClientWidthTwips), TwipsToPixelsY(kClientHeightTwips)};
        (void)AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);  // on failure the client is a little small
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        if (!CreateWindowExW(kExStyle, kSettingsDialogClass, kSettingsCaption.data(), kStyle, left, top, width, height,
                             owner_, nullptr, instance, this))
            return false;
        CreateControls(instance);
        RegisterDialogWindow(hwnd_);
        return true;
    }

    void Load() {
        ++busy_;
        form_.Form_Load();
        --busy_;
    }

    void Show() {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        (void)SetForegroundWindow(hwnd_);  // a refusal leaves it shown but behind; the user can still reach it
        shown_ = true;
        if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
            SetFocus(first);
    }

    void BringToFront() {
        if (!shown_ || !hwnd_)
            return;  // still loading: it shows itself when done
        if (IsIconic(hwnd_))
            ShowWindow(hwnd_, SW_RESTORE);
        (void)SetForegroundWindow(hwnd_);  // as in Show
    }

    bool Open() const { return hwnd_ != nullptr; }
    bool Busy() const { return busy_ > 0; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        ++busy_;
        const LRESULT result = Handle(msg, wParam, lParam);
        --busy_;
        return result;
    }

  private:
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_COMMAND:
                OnCommand(LOWORD(wParam), HIWORD(wParam));
                return 0;
            case WM_NOTIFY:
                return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
            case WM_VSCROLL:
                OnSpinner(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
                return 0;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                return ControlColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            case WM_ACTIVATE:
                // Coming back to the dialog returns the focus to the control that had it, as a dialog does.
                if (LOWORD(wParam) == WA_INACTIVE) {
                    HWND focus = GetFocus();
                    if (focus && IsChild(hwnd_, focus))
                        lastFocus_ = focus;
                } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_)) {
                    SetFocus(lastFocus_);
                    return 0;
                }
                break;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT covers the whole client area
            case WM_PAINT:
                Paint();
                return 0;
            case WM_CLOSE:
                // The close box is Cancel.
                form_.Command1_Click(static_cast<int>(CommandButton::Cancel));
                return 0;
            case WM_DESTROY:
                UnregisterDialogWindow(hwnd_);
                return 0;
            case WM_NCDESTROY:
                if (ownOwner_) {
                    DestroyWindow(ownOwner_);
                    ownOwner_ = nullptr;
                }
                break;
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

    void CreateControls(HINSTANCE instance) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance,
                                   nullptr);
        for (const ControlSpec& spec : kControls) {
            HWND control = CreateControl(instance, spec);
            if (!control)
                continue;  // a missing control leaves a gap; the form's values are kept all the same
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<size_t>(spec.face)].get()),
                         FALSE);
            AddTip(spec, control);
        }
        HWND tab = GetDlgItem(hwnd_, kIdTab);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        for (int i = 0; i < static_cast<int>(std::size(kTabCaptions)); ++i) {
            item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
            SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        FitTabStrip(tab);
        // Read-outs, the line and the frames take no focus, so their place in the z-order does not change the
        // Tab order: beneath the rest (frames lowest, they fill their inside), they never cover a spinner.
        for (int id : {kIdLabel1 + 0, kIdLabel1 + 1, kIdLabel1 + 2, kIdLine1, kIdFrame1 + 0, kIdFrame1 + 1})
            SetWindowPos(GetDlgItem(hwnd_, id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        for (int i = 0; i < kSpinnerCount; ++i) {
            const SpinnerRange range = kSpinnerRanges[static_cast<size_t>(i)];
            SendMessageW(GetDlgItem(hwnd_, kIdUpDown1 + i), UDM_SETRANGE32, static_cast<WPARAM>(range.min),
                         static_cast<LPARAM>(range.max));
            SendMessageW(GetDlgItem(hwnd_, kIdUpDown1 + i), UDM_SETPOS32, 0, range.min);
            // Without the subclass the arrows move the focus; the mouse still works.
            (void)Subclass(GetDlgItem(hwnd_, kIdUpDown1 + i), SpinnerKeys);
        }
    }

    HWND CreateControl(HINSTANCE instance, const ControlSpec& spec) {
        const wchar_t* cls = WC_BUTTONW;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        switch (spec.kind) {
            case Kind::Check:
                style |= BS_AUTOCHECKBOX | WS_TABSTOP;
                break;
            case Kind::Button:
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
            case Kind::Tab:
                cls = WC_TABCONTROLW;
                style |= WS_TABSTOP;
                break;
            case Kind::Frame:
                style = WS_CHILD | BS_GROUPBOX;  // draws only its border: the controls inside stay visible
                break;
            case Kind::Spinner:
                cls = UPDOWN_CLASSW;
                style |= UDS_ARROWKEYS | WS_TABSTOP;
                break;
            case Kind::Readout:
                cls = WC_STATICW;
                style |= SS_LEFT | SS_NOTIFY;  // SS_NOTIFY: the tooltip needs the mouse
                break;
            case Kind::Caption:
                cls = WC_STATICW;
                style |= SS_LEFT;
                break;
            case Kind::Line:
                cls = WC_STATICW;
                style |= SS_ETCHEDHORZ;
                break;
        }
        if (spec.page == Page::Dialog)
            style |= WS_VISIBLE;
        const RECT r = PixelRect(PlaceOf(spec));
        const int height = spec.kind == Kind::Line ? 2 : r.bottom - r.top;
        return CreateWindowExW(0, cls, spec.caption ? spec.caption : L"", style, r.left, r.top, r.right - r.left,
                               height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance,
                               nullptr);
    }

    // The tab control covers only its strip; the page body below is painted by the dialog, so that the
    // page's controls never lie under a sibling that paints over them.
    void FitTabStrip(HWND tab) {
        RECT item{};
        if (!SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
            return;  // the tab keeps its full height: the page body is then drawn by the tab itself
        RECT r{};
        GetWindowRect(tab, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        stripBottom_ = r.top + item.bottom + 2;
        SetWindowPos(tab, nullptr, 0, 0, r.right - r.left, stripBottom_ - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void AddTip(const ControlSpec& spec, HWND control) {
        if (!spec.tip || !tooltip_)
            return;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hwnd_;
        tool.lpszText = const_cast<wchar_t*>(spec.tip);
        if (spec.kind == Kind::Frame) {
            // A group box lets the mouse through to the dialog: its tip is a rectangle of the dialog.
            tool.uFlags = TTF_SUBCLASS;
            tool.uId = static_cast<UINT_PTR>(spec.id);
            tool.rect = {};
        } else {
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.uId = reinterpret_cast<UINT_PTR>(control);
        }
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    void SetFrameTipRects(bool visible) {
        for (int i = 0; i < 2; ++i) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = hwnd_;
            tool.uId = static_cast<UINT_PTR>(kIdFrame1 + i);
            tool.rect = visible ? PixelRect(PlaceOf(SpecOf(kIdFrame1 + i))) : RECT{};
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    void OnCommand(int id, int code) {
        if (code != BN_CLICKED)
            return;
        if (InRange(id, kIdCheck1, kBoxCount)) {
            const bool checked = SendMessageW(GetDlgItem(hwnd_, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            form_.SetCheck(id - kIdCheck1, checked);
        } else if (InRange(id, kIdCommand1, 4)) {
            form_.Command1_Click(id - kIdCommand1);
        } else if (id == kIdCommand2) {
            CustomizeToolbar();
        } else if (id == kIdCommand3) {
            form_.Command3_Click();
        }
    }

    void CustomizeToolbar() {
        // The toolbar's own dialog re-enables the main window when it closes, even while this dialog holds
        // it disabled; disable again what it woke, so a modal dialog stays modal.
        const std::vector<HWND> before = EnabledThreadWindows();
        form_.Command2_Click();
        if (!modal_ || !hwnd_)
            return;
        for (HWND window : EnabledThreadWindows()) {
            if (window != hwnd_ && window != tooltip_ &&
                std::find(before.begin(), before.end(), window) == before.end())
                EnableWindow(window, FALSE);
        }
    }

    LRESULT OnNotify(const NMHDR& header) {
        if (header.idFrom == static_cast<UINT_PTR>(kIdTab) && header.code == TCN_SELCHANGE)
            form_.SetTab(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }

    void OnSpinner(HWND spinner, int code) {
        if (code != SB_THUMBPOSITION || !spinner)
            return;  // SB_ENDSCROLL follows every step; the step itself is enough
        const int id = GetDlgCtrlID(spinner);
        if (!InRange(id, kIdUpDown1, kSpinnerCount))
            return;
        const int pos = static_cast<int>(SendMessageW(spinner, UDM_GETPOS32, 0, 0));
        form_.SetSpinner(id - kIdUpDown1, pos);
    }

    LRESULT ControlColors(HDC dc, HWND control) {
        const int id = GetDlgCtrlID(control);
        if (InRange(id, kIdLabel1, kSpinnerCount)) {
            SetTextColor(dc, kReadoutText);
            SetBkColor(dc, kReadoutBack);
            return reinterpret_cast<LRESULT>(readoutBrush_.get());
        }
        const ControlSpec* spec = FindSpec(id);
        if (!spec || spec->page == Page::Dialog) {
            SetBkColor(dc, kBackColor);
            return reinterpret_cast<LRESULT>(backBrush_.get());
        }
        // Everything on a page sits on the page body.
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }

    void Paint() {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd_, &ps);
        if (!dc)
            return;
        RECT client{};
        GetClientRect(hwnd_, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(backBrush_.get()));
        RECT body = PixelRect(PlaceOf(TabSpec()));
        if (stripBottom_ > 0) {
            body.top = stripBottom_ - 2;
            FillRect(dc, &body, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &body, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
        }
        EndPaint(hwnd_, &ps);
    }

    // ISettingsDialogView
    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        const std::wstring t(text), c(title);
        (void)MessageBoxW(hwnd_, t.c_str(), c.c_str(), MB_OK | MB_ICONEXCLAMATION);  // OK is the only answer
    }
    void ShowHelp(const std::wstring& helpFile, unsigned context) override {
        (void)WinHelpW(hwnd_, helpFile.c_str(), HELP_CONTEXT, context);  // the viewer reports its own failures
    }
    void Unload() override {
        if (!hwnd_)
            return;
        // Give the main window back its input before this one goes, so activation returns to it rather
        // than to another program.
        if (modal_ && owner_ && owner_ != ownOwner_)
            EnableWindow(owner_, TRUE);
        DestroyWindow(hwnd_);
    }
    void ShowCheck(int index, bool checked) override {
        SendMessageW(GetDlgItem(hwnd_, kIdCheck1 + index), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void ShowTab(int tab) override {
        SendMessageW(GetDlgItem(hwnd_, kIdTab), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        HWND focus = GetFocus();
        bool focusHidden = false;
        for (const ControlSpec& spec : kControls) {
            if (spec.page == Page::Dialog)
                continue;
            const bool visible = spec.id != kIdCheck1 + kHiddenBox && (spec.page == Page::Tab0) == (tab == 0);
            HWND control = GetDlgItem(hwnd_, spec.id);
            if (!visible && control == focus)
                focusHidden = true;
            ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
        }
        SetFrameTipRects(tab == 1);
        if (focusHidden)
            SetFocus(GetDlgItem(hwnd_, kIdTab));
    }
    void ShowSpinner(int index, int value) override {
        SendMessageW(GetDlgItem(hwnd_, kIdUpDown1 + index), UDM_SETPOS32, 0, value);
    }
    void ShowLabel(int index, std::wstring_view caption) override {
        const std::wstring text(caption);
        SetWindowTextW(GetDlgItem(hwnd_, kIdLabel1 + index), text.c_str());
    }

    SettingsDialog form_;
    bool modal_;
    HWND owner_ = nullptr;
    HWND ownOwner_ = nullptr;
    HWND tooltip_ = nullptr;  // owned by the dialog: destroyed with it
    std::array<UniqueGdiObject, kFonts.size()> fonts_;
    UniqueGdiObject backBrush_;
    UniqueGdiObject readoutBrush_;
    HWND lastFocus_ = nullptr;
    int stripBottom_ = 0;
    int busy_ = 0;
    bool shown_ = false;
};

// The one dialog of the process. A closed dialog's object stays until the next opening replaces it,
// so a handler still on the stack when its window goes never runs on freed memory.
std::unique_ptr<SettingsDialogWindow> g_dialog;

}  // namespace

void ShowSettingsDialog(AppContext& app, ISettingsHost& host, bool modal) {
    if (g_dialog && g_dialog->Open()) {
        g_dialog->BringToFront();
        return;
    }
    if (g_dialog && g_dialog->Busy())
        return;  // closed from inside one of its own handlers; that handler is still finishing
    g_dialog.reset();

    auto dialog = std::make_unique<SettingsDialogWindow>(app, host, modal);
    SettingsDialogWindow* self = dialog.get();
    g_dialog = std::move(dialog);
    if (!self->Create(GetModuleHandleW(nullptr))) {
        g_dialog.reset();
        return;
    }
    self->Load();
    if (!self->Open())
        return;  // closed while loading (the program is ending)
    self->Show();
    if (modal)
        RunModalLoop(self->Window());
}

void CloseSettingsDialog() {
    if (g_dialog && g_dialog->Open())
        DestroyWindow(g_dialog->Window());
}

}  // namespace vitrell
