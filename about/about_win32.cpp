#include "about/about_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>
#include <string>
#include <vector>

#include "about/form_paint_win32.h"
#include "about/splash.h"
#include "about/version_box.h"
#include "mainwin/main_window_win32.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/fonts_win32.h"
#include "platform/win32/modal_win32.h"
#include "platform/win32/system_info_win32.h"

namespace vitrell {

namespace {

constexpr UINT_PTR kTimer1Id = 1;
constexpr int kHandCursorId = 101;  // resource/vitrell.rc
constexpr int kCommand1Id = IDOK;
constexpr FontSpec kCommand1Font{L"MS UI Gothic", 9, false, false, false};
constexpr RectTwips kCommand1Rect{4200, 1445, 1300, 300};
constexpr wchar_t kCommand1Caption[] = L"OK";
constexpr wchar_t kCommand1Tip[] = L" OK ";

bool RegisterFormClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, LPCWSTR cursor) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, name, &existing))
        return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, cursor);  // a shared system cursor: never destroyed
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

// ---------------------------------------------------------------------------------------------------------------
// INITDISP

class SplashWindow final : public BaseWindow<SplashWindow>, private ISplashView {
  public:
    explicit SplashWindow(HINSTANCE instance) : instance_(instance), form_(*this), kit_(instance, Splash::Layout()) {}

    bool Create() {
        if (!RegisterFormClass(instance_, kSplashClass, WindowProc, IDC_WAIT))
            return false;
        return CreateCentredWindow(0, kSplashClass, L"", WS_POPUP | WS_DLGFRAME, Splash::Layout().client, nullptr,
                                   instance_, this) != nullptr;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_CREATE:
                if (!SetTimer(hwnd_, kTimer1Id, Splash::kTimer1IntervalMs, nullptr))
                    return -1;  // without its timer the splash would never close
                return 0;
            case WM_TIMER:
                if (wParam == kTimer1Id)
                    form_.Timer1_Timer();
                return 0;
            case WM_CLOSE:
                return 0;  // Alt+F4 and the like: the timer alone closes the logo
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT fills the background
            case WM_PAINT: {
                PAINTSTRUCT ps;
                if (HDC dc = BeginPaint(hwnd_, &ps)) {
                    kit_.Paint(dc, [](const LabelSpec& label) { return label.ink; });
                    EndPaint(hwnd_, &ps);
                }
                return 0;
            }
            case WM_DESTROY:
                (void)KillTimer(hwnd_, kTimer1Id);  // fails only when the timer is already gone
                return 0;
            default:
                return DefWindowProcW(hwnd_, msg, wParam, lParam);
        }
    }

  private:
    void Unload() override { (void)DestroyWindow(hwnd_); }  // the window is ours and alive; nothing to recover

    HINSTANCE instance_;
    Splash form_;
    FormPaintKit kit_;
};

// ---------------------------------------------------------------------------------------------------------------
// INFO_VER

class Win32VersionBoxSystem final : public IVersionBoxSystem {
  public:
    void SetOwner(HWND owner) { owner_ = owner; }

    std::optional<std::wstring> Environment(std::wstring_view name) override {
        const std::wstring key(name);
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            const DWORD n = GetEnvironmentVariableW(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) {
                if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                    return std::nullopt;
                return std::wstring();
            }
            if (n < buffer.size())
                return std::wstring(buffer.data(), n);
            buffer.resize(n);  // n counts the terminator when the buffer was too small
        }
    }

    std::optional<FileAttributes> Attributes(const std::wstring& path) override {
        const DWORD a = GetFileAttributesW(path.c_str());
        if (a == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
        return FileAttributes{(a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_HIDDEN) != 0,
                              (a & FILE_ATTRIBUTE_SYSTEM) != 0};
    }

    void ShellOpen(const std::wstring& target) override {
        // What the registered mail program does with the address is its own affair.
        (void)ShellExecuteW(owner_, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    void StartProcess(const std::wstring& application, const std::wstring& commandLine) override {
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');  // CreateProcessW may write into its command line
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNOACTIVATE;
        PROCESS_INFORMATION pi{};
        // The program is named on its own as well: the search for a program in an unquoted path never runs.
        if (CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            (void)CloseHandle(pi.hThread);  // we never wait for the browser
            (void)CloseHandle(pi.hProcess);
        }
    }

  private:
    HWND owner_ = nullptr;
};

struct FindState {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindByClass(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    wchar_t name[64] = {};
    if (GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 && lstrcmpW(name, state->className) == 0) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of this thread with the given class, or null.
HWND ThreadWindowOfClass(const wchar_t* className) {
    FindState state{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindByClass, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

class VersionBoxWindow final : public BaseWindow<VersionBoxWindow>, private IVersionBoxView {
  public:
    explicit VersionBoxWindow(HINSTANCE instance)
        : instance_(instance),
          form_(*this, system_, systemInfo_),
          kit_(instance, VersionBox::Layout()),
          hitAreas_(kit_.TextAreasTwips()),
          buttonFont_(MakeFont(kCommand1Font, ScreenDpiY(), kCommand1Caption)),
          hand_(static_cast<HCURSOR>(
              LoadImageW(instance, MAKEINTRESOURCEW(kHandCursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE))) {}

    bool Create(HWND owner) {
        if (!RegisterFormClass(instance_, kVersionBoxClass, WindowProc, IDC_ARROW))
            return false;
        return CreateCentredWindow(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kVersionBoxClass,
                                   kVersionBoxCaption.data(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                   VersionBox::Layout().client, owner, instance_, this) != nullptr;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_CREATE:
                return OnCreate() ? 0 : -1;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT fills the background
            case WM_PAINT: {
                PAINTSTRUCT ps;
                if (HDC dc = BeginPaint(hwnd_, &ps)) {
                    kit_.Paint(dc, [this](const LabelSpec& label) { return form_.InkOf(label); });
                    EndPaint(hwnd_, &ps);
                }
                return 0;
            }
            case WM_MOUSEMOVE: {
                const int label = LabelUnder(lParam);
                if (label < 0)
                    form_.Form_MouseMove();
                else
                    form_.Label1_MouseMove(label);
                return 0;
            }
            case WM_SETCURSOR:
                if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_ && hand_ &&
                    GroupOf(LabelUnderCursor()) != LinkGroup::None) {
                    SetCursor(hand_.get());
                    return TRUE;
                }
                return DefWindowProcW(hwnd_, msg, wParam, lParam);
            case WM_LBUTTONDOWN:
                pressed_ = LabelUnder(lParam);
                SetCapture(hwnd_);
                return 0;
            case WM_LBUTTONUP: {
                // A click is a press and a release on the same label.
                const int released = LabelUnder(lParam);
                const int pressed = pressed_;
                pressed_ = -1;
                (void)ReleaseCapture();  // nothing follows from a capture we no longer hold
                if (pressed >= 0 && pressed == released)
                    form_.Label1_Click(released);
                return 0;
            }
            case WM_CAPTURECHANGED:
                pressed_ = -1;
                return 0;
            case DM_GETDEFID:
                return MAKELRESULT(kCommand1Id, DC_HASDEFID);
            case WM_COMMAND:
                // OK, and Esc/Enter through the dialog manager, close the box like its close button.
                if (LOWORD(wParam) == kCommand1Id || LOWORD(wParam) == IDCANCEL)
                    form_.Command1_Click();
                return 0;
            case WM_DESTROY:
                UnregisterDialogWindow(hwnd_);
                return 0;
            default:
                return DefWindowProcW(hwnd_, msg, wParam, lParam);
        }
    }

  private:
    bool OnCreate() {
        system_.SetOwner(hwnd_);
        if (kit_.Icon()) {
            (void)SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(kit_.Icon()));
            (void)SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(kit_.Icon()));
        }
        const RECT b = LabelRectPixels(kCommand1Rect);
        button_ = CreateWindowExW(0, L"BUTTON", kCommand1Caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  b.left, b.top, b.right - b.left, b.bottom - b.top, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1Id)), instance_, nullptr);
        if (!button_)
            return false;  // without OK the box could still close by its caption, but it would be half drawn
        if (buttonFont_)
            SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
        AddTooltips();
        RegisterDialogWindow(hwnd_);
        return true;
    }

    void AddTooltips() {
        HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
        if (!tips)
            return;  // the links work without their tooltips
        TTTOOLINFOW button{};
        button.cbSize = sizeof(button);
        button.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        button.hwnd = hwnd_;
        button.uId = reinterpret_cast<UINT_PTR>(button_);
        button.lpszText = const_cast<wchar_t*>(kCommand1Tip);
        (void)SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&button));  // a missing tip is cosmetic
        const auto labels = VersionBox::Layout().labels;
        for (size_t i = 0; i < labels.size(); ++i) {
            if (GroupOf(labels[i].index) == LinkGroup::None)
                continue;
            tipTexts_.push_back(VersionBox::TipFor(labels[i].index));
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_SUBCLASS;
            tool.hwnd = hwnd_;
            tool.uId = static_cast<UINT_PTR>(labels[i].index);
            tool.rect = kit_.TextArea(i);  // where the link reacts to the pointer
            tool.lpszText = tipTexts_.back().data();
            (void)SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    // A label reacts where its text lies, as drawn: what lights up under the pointer is what a click opens.
    int LabelAtPixel(int x, int y) const {
        return LabelAt(VersionBox::Layout(), hitAreas_, PixelsToTwipsX(x), PixelsToTwipsY(y));
    }
    int LabelUnder(LPARAM lParam) const {
        return LabelAtPixel(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    }
    int LabelUnderCursor() const {
        POINT p{};
        if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p))
            return -1;
        return LabelAtPixel(p.x, p.y);
    }

    void SetLabelColour(int labelIndex, Rgb) override {
        const auto labels = VersionBox::Layout().labels;
        for (size_t i = 0; i < labels.size(); ++i) {
            if (labels[i].index == labelIndex) {
                // All the label drew, also where its text runs past its rectangle.
                const RECT r = kit_.DrawnArea(i);
                (void)InvalidateRect(hwnd_, &r, FALSE);  // repainted from the form's colours
            }
        }
    }
    void ShowWarning(std::wstring_view text, std::wstring_view title) override {
        const std::wstring t(text);
        const std::wstring c(title);
        (void)MessageBoxW(hwnd_, t.c_str(), c.c_str(), MB_OK | MB_ICONEXCLAMATION);  // OK is the only answer
    }
    void Unload() override { (void)DestroyWindow(hwnd_); }  // the window is ours and alive; nothing to recover

    HINSTANCE instance_;
    Win32VersionBoxSystem system_;
    Win32SystemInfo systemInfo_;
    VersionBox form_;
    FormPaintKit kit_;
    std::vector<RectTwips> hitAreas_;  // one per label of the layout, as LabelAt takes them
    UniqueGdiObject buttonFont_;
    UniqueCursor hand_;
    HWND button_ = nullptr;
    std::vector<std::wstring> tipTexts_;
    int pressed_ = -1;
};

}  // namespace

void ShowSplashModal(HINSTANCE instance) {
    SplashWindow splash(instance);
    if (!splash.Create())
        return;  // start-up goes on without its logo
    ShowWindow(splash.Window(), SW_SHOW);
    UpdateWindow(splash.Window());
    RunModalLoop(splash.Window());
}

void ShowVersionBoxModal(HINSTANCE instance, AppContext&) {
    // Open already (the tray menu still reaches the main window): bring that one to the front.
    if (HWND open = ThreadWindowOfClass(kVersionBoxClass)) {
        (void)SetForegroundWindow(open);  // only a request; the box is modal either way
        return;
    }
    VersionBoxWindow box(instance);
    // Owned by the main window, so a main window kept in front cannot cover the box.
    if (!box.Create(ThreadWindowOfClass(kMainWindowClass)))
        return;
    ShowWindow(box.Window(), SW_SHOW);
    UpdateWindow(box.Window());
    RunModalLoop(box.Window());
}

}  // namespace vitrell
