#include "settings_dialog/settings_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/base_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/hidden_owner_win32.h"
#include "platform/win32/message_pump_win32.h"
#include "platform/win32/scaled_window_win32.h"
#include "platform/win32/subclass_win32.h"
#include "platform/win32/tooltips_win32.h"
#include "platform/win32/units_win32.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_dialog_layout.h"

namespace vitrell {

namespace {

bool InRange(int id, int first, int count) {
    return id >= first && id < first + count;
}

// A focused spinner takes the arrow keys itself instead of letting the dialog move the focus with them.
LRESULT CALLBACK SpinnerKeys(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE)
        return CallOriginal(window, msg, wParam, lParam) | DLGC_WANTARROWS;
    return CallOriginal(window, msg, wParam, lParam);
}

// The window class and styles each kind of control is made with.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Check:
            return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::Button:
            return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
        case ControlKind::Tab:
            return {WC_TABCONTROLW, WS_TABSTOP};
        case ControlKind::Frame:
            return {WC_BUTTONW, BS_GROUPBOX};  // draws only its border: the controls inside stay visible
        case ControlKind::Spinner:
            return {UPDOWN_CLASSW, UDS_ARROWKEYS | WS_TABSTOP};
        case ControlKind::Readout:
            return {WC_STATICW, SS_LEFT | SS_NOTIFY};  // SS_NOTIFY: the tooltip needs the mouse
        case ControlKind::Caption:
            return {WC_STATICW, SS_LEFT};
        case ControlKind::Line:
            return {WC_STATICW, SS_ETCHEDHORZ};
    }
    return {WC_STATICW, 0};
}

class SettingsDialogWindow final : public BaseWindow<SettingsDialogWindow>,
                                   private ISettingsDialogView,
                                   private ScaledWindowWin32 {
  public:
    SettingsDialogWindow(AppContext& app, ISettingsHost& host, HWND owner, bool modal)
        : form_(app, host, *this), owner_(modal ? owner : nullptr), modal_(modal) {}

    ~SettingsDialogWindow() override {
        if (hwnd_)
            (void)DestroyWindow(hwnd_);  // ours and alive
    }

    bool Create(HINSTANCE instance) {
        backBrush_.reset(CreateSolidBrush(ToColorRef(kSettingsBack)));
        readoutBrush_.reset(CreateSolidBrush(ToColorRef(kReadoutBack)));

        // Opened from a menu or the toolbar, the dialog stays above the main window, which may be kept in
        // front; opened from the system menu it stands on its own. Either way an owner keeps it off the
        // task bar, so the stand-alone one gets a hidden owner of its own.
        if (!owner_) {
            if (!ownOwner_.Create(instance, L""))
                return false;
            owner_ = ownOwner_.Window();
        }
        // No WS_CLIPCHILDREN: the page body under the group boxes, which paint only their border, is the
        // dialog's to paint.
        // Centred on the primary monitor, which is at the system's DPI; the controls follow the window's own.
        const PixelRect client = ToPixels({0, 0, kSettingsClient.width, kSettingsClient.height}, ReadDpi());
        if (!CreateCentredWindow(instance, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kSettingsCaption.data(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU, SIZE{client.right, client.bottom}, owner_))
            return false;
        Attach(hwnd_);
        CreateControls(instance);
        scaler_.Apply(DpiOfWindow(hwnd_));
        navigation_ = AddDialogNavigation(hwnd_);
        return true;
    }

    WindowClass ClassInfo() const { return WindowClass{kSettingsDialogClass}; }  // it paints its own grey

    void Load() {
        ++busy_;
        form_.Form_Load();
        --busy_;
    }

    void Show() {
        (void)ShowWindow(hwnd_, SW_SHOWNORMAL);  // returns the previous state
        (void)SetForegroundWindow(hwnd_);        // a refusal leaves it shown but behind; the user can still reach it
        shown_ = true;
        if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
            SetFocus(first);
    }

    void BringToFront() {
        if (!shown_ || !hwnd_)
            return;  // still loading: it shows itself when done
        if (IsIconic(hwnd_))
            (void)ShowWindow(hwnd_, SW_RESTORE);
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
            case DM_GETDEFID:
                // Asked by the dialog navigation when Enter is pressed: the button with the focus, else OK.
                return MAKELRESULT(DefaultButton(), DC_HASDEFID);
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
            case kWmDpiChanged: {
                const DpiChange change = ReadDpiChange(wParam, lParam);
                scaler_.Change(change.dpi, change.suggested);
                return 0;
            }
            case WM_CLOSE:
                // The close box is Cancel.
                form_.Command1_Click(static_cast<int>(CommandButton::Cancel));
                return 0;
            case WM_DESTROY:
                RemovePreTranslator(navigation_);
                return 0;
            case WM_NCDESTROY:
                ownOwner_.Destroy();  // goes after the window it owns
                break;
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    RECT Pixels(const RectTwips& rect) const { return ToRect(scaler_.Pixels(rect)); }

    void CreateControls(HINSTANCE instance) {
        tips_.Create(instance, hwnd_, WS_EX_TOPMOST);
        for (const ControlSpec& spec : SettingsControls()) {
            HWND control = CreateControl(instance, spec);
            if (!control)
                continue;  // a missing control leaves a gap; the form's values are kept all the same
            if (!spec.tip)
                continue;
            if (spec.kind == ControlKind::Frame)
                tips_.AddForArea(static_cast<UINT_PTR>(spec.id), RECT{}, spec.tip);  // placed when its page shows
            else
                tips_.AddForControl(control, spec.tip);
        }
        HWND tab = Control(kIdTab);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        for (size_t i = 0; i < kTabCaptions.size(); ++i) {
            const std::wstring caption(kTabCaptions[i]);
            item.pszText = const_cast<wchar_t*>(caption.c_str());  // copied by the control
            SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        // Read-outs, the line and the frames take no focus, so their place in the z-order does not change the
        // Tab order: beneath the rest (frames lowest, they fill their inside), they never cover a spinner.
        for (int id : {kIdLabel1 + 0, kIdLabel1 + 1, kIdLabel1 + 2, kIdLine1, kIdFrame1 + 0, kIdFrame1 + 1})
            SetWindowPos(Control(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        for (int i = 0; i < kSpinnerCount; ++i) {
            const SpinnerRange range = kSpinnerRanges[static_cast<size_t>(i)];
            HWND spinner = Control(kIdUpDown1 + i);
            SendMessageW(spinner, UDM_SETRANGE32, static_cast<WPARAM>(range.min), static_cast<LPARAM>(range.max));
            SendMessageW(spinner, UDM_SETPOS32, 0, range.min);
            // Without the subclass the arrows move the focus; the mouse still works.
            (void)Subclass(spinner, SpinnerKeys);
        }
    }

    // Made without a place: the scaler places it, and gives it its font, at the window's DPI.
    HWND CreateControl(HINSTANCE instance, const ControlSpec& spec) {
        const ControlClass cls = ClassOf(spec.kind);
        DWORD style = WS_CHILD | cls.style;
        if (spec.kind != ControlKind::Frame)
            style |= WS_CLIPSIBLINGS;
        if (spec.page == Page::Dialog)
            style |= WS_VISIBLE;
        return CreateWindowExW(0, cls.name, spec.caption ? spec.caption : L"", style, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
    }

    // IScaledWindow: the etched line keeps its two pixels; the tab strip and the group boxes' tips follow the
    // controls.
    void PlacePart(int id, const PixelRect& place) override {
        PixelRect r = place;
        if (id == kIdLine1)
            r.bottom = r.top + 2;
        ScaledWindowWin32::PlacePart(id, r);
    }
    void LaidOut() override {
        FitTabStrip(Control(kIdTab));
        MoveFrameTips(static_cast<int>(SendMessageW(Control(kIdTab), TCM_GETCURSEL, 0, 0)));
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

    int DefaultButton() const {
        HWND focus = GetFocus();
        const auto code = focus && IsChild(hwnd_, focus) ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
            return GetDlgCtrlID(focus);
        return kIdCommand1 + static_cast<int>(CommandButton::Ok);
    }

    void OnCommand(int id, int code) {
        if (code != BN_CLICKED)
            return;
        if (id == IDOK || id == IDCANCEL)  // Enter without a default button, and Escape
            id = kIdCommand1 + static_cast<int>(id == IDOK ? CommandButton::Ok : CommandButton::Cancel);
        if (InRange(id, kIdCheck1, kBoxCount)) {
            const bool checked = SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
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
            if (window != hwnd_ && std::find(before.begin(), before.end(), window) == before.end() &&
                GetWindow(window, GW_OWNER) != hwnd_)  // its own tooltips stay as they are
                (void)EnableWindow(window, FALSE);     // returns the previous state
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
            SetTextColor(dc, ToColorRef(kReadoutText));
            SetBkColor(dc, ToColorRef(kReadoutBack));
            return reinterpret_cast<LRESULT>(readoutBrush_.get());
        }
        const ControlSpec* spec = FindControl(id);
        if (!spec || spec->page == Page::Dialog) {
            SetBkColor(dc, ToColorRef(kSettingsBack));
            return reinterpret_cast<LRESULT>(backBrush_.get());
        }
        // Everything on a page sits on the page body.
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }

    void Paint() {
        const PaintDc dc(hwnd_);
        if (!dc)
            return;
        RECT client{};
        GetClientRect(hwnd_, &client);
        FillRect(dc.get(), &client, backBrush_.get());
        RECT body = Pixels(PlaceOnDialog(*FindControl(kIdTab)));
        if (stripBottom_ > 0) {
            body.top = stripBottom_ - 2;
            FillRect(dc.get(), &body, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc.get(), &body, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
        }
    }

    // ISettingsDialogView
    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        const std::wstring t(text), c(title);
        (void)MessageBoxW(hwnd_, t.c_str(), c.c_str(), MB_OK | MB_ICONEXCLAMATION);  // OK is the only answer
    }
    WindowHandle HelpOwner() override { return reinterpret_cast<WindowHandle>(hwnd_); }
    void Unload() override {
        if (!hwnd_)
            return;
        // Give the main window back its input before this one goes, so activation returns to it rather
        // than to another program.
        if (modal_ && owner_ && owner_ != ownOwner_.Window())
            (void)EnableWindow(owner_, TRUE);  // returns the previous state
        (void)DestroyWindow(hwnd_);            // ours and alive
    }
    void ShowCheck(int index, bool checked) override {
        SendMessageW(Control(kIdCheck1 + index), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void ShowTab(int tab) override {
        SendMessageW(Control(kIdTab), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        HWND focus = GetFocus();
        bool focusHidden = false;
        for (const ControlSpec& spec : SettingsControls()) {
            if (spec.page == Page::Dialog)
                continue;
            const bool visible = spec.id != kIdCheck1 + kHiddenBox && (spec.page == Page::Tab0) == (tab == 0);
            HWND control = Control(spec.id);
            if (!visible && control == focus)
                focusHidden = true;
            (void)ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);  // returns the previous state
        }
        MoveFrameTips(tab);
        if (focusHidden)
            SetFocus(Control(kIdTab));
    }
    // A group box lets the mouse through to the dialog: its tip is a rectangle of the dialog, there while its page
    // shows.
    void MoveFrameTips(int tab) {
        for (int i = 0; i < 2; ++i) {
            const int id = kIdFrame1 + i;
            tips_.MoveArea(static_cast<UINT_PTR>(id), tab == 1 ? Pixels(PlaceOnDialog(*FindControl(id))) : RECT{});
        }
    }
    void ShowSpinner(int index, int value) override {
        SendMessageW(Control(kIdUpDown1 + index), UDM_SETPOS32, 0, value);
    }
    void ShowLabel(int index, std::wstring_view caption) override {
        const std::wstring text(caption);
        SetWindowTextW(Control(kIdLabel1 + index), text.c_str());
    }

    SettingsDialog form_;
    HWND owner_;
    bool modal_;
    HiddenOwner ownOwner_;  // the stand-alone dialog's
    Tooltips tips_;
    UniqueBrush backBrush_;
    UniqueBrush readoutBrush_;
    HWND lastFocus_ = nullptr;
    int navigation_ = 0;
    int stripBottom_ = 0;
    int busy_ = 0;
    bool shown_ = false;
    DpiScaler scaler_{*this, SettingsParts(), SettingsFonts(), 0};  // last: its fonts go before the rest
};

// The one dialog of the process. A closed dialog's object stays until the next opening replaces it,
// so a handler still on the stack when its window goes never runs on freed memory.
std::unique_ptr<SettingsDialogWindow> g_dialog;

}  // namespace

void ShowSettingsDialog(AppContext& app, ISettingsHost& host, HWND owner, bool modal) {
    if (g_dialog && g_dialog->Open()) {
        g_dialog->BringToFront();
        return;
    }
    if (g_dialog && g_dialog->Busy())
        return;  // closed from inside one of its own handlers; that handler is still finishing
    g_dialog.reset();

    g_dialog = std::make_unique<SettingsDialogWindow>(app, host, owner, modal);
    SettingsDialogWindow* self = g_dialog.get();
    if (!self->Create(GetModuleHandleW(nullptr))) {
        g_dialog.reset();
        return;
    }
    self->Load();
    if (!self->Open())
        return;  // closed while loading (the program is ending)
    self->Show();
    if (modal)
        RunModal(self->Window());
}

void CloseSettingsDialog() {
    if (g_dialog && g_dialog->Open())
        (void)DestroyWindow(g_dialog->Window());  // ours and alive
}

}  // namespace vitrell
