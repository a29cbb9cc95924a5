#include "about/version_box_win32.h"

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "about/form_paint_win32.h"
#include "about/version_box.h"
#include "core/product.h"
#include "platform/win32/base_window.h"
#include "platform/win32/message_pump_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/tooltips_win32.h"
#include "platform/win32/units_win32.h"

namespace vitrell {

namespace {

constexpr int kHandCursorId = 101;  // resource/vitrell.rc
static_assert(kCommand1Id == IDOK);
constexpr wchar_t kCommand1Tip[] = L" OK ";

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

    bool ShellOpen(const std::wstring& target) override {
        // What the registered program does with the address is its own affair; only whether one took it counts.
        const auto result = ShellExecuteW(owner_, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
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

class VersionBoxWindow final : public BaseWindow<VersionBoxWindow>, private IVersionBoxView {
  public:
    explicit VersionBoxWindow(HINSTANCE instance)
        : instance_(instance),
          form_(*this, system_, systemInfo_),
          kit_(instance, VersionBox::Layout(), VersionBox::Parts(), VersionBox::PartFonts()),
          hand_(static_cast<HCURSOR>(
              LoadImageW(instance, MAKEINTRESOURCEW(kHandCursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE))) {}

    bool Create(HWND owner) {
        return CreateCentredWindow(instance_, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kVersionBoxCaption.data(),
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU, kit_.ClientSize(), owner) != nullptr;
    }

    WindowClass ClassInfo() const { return WindowClass{kVersionBoxClass}; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_CREATE:
                return OnCreate() ? 0 : -1;
            case kWmDpiChanged:
                kit_.ChangeDpi(wParam, lParam);
                return 0;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT fills the background
            case WM_PAINT: {
                const PaintDc dc(hwnd_);
                if (dc)
                    kit_.Paint(dc.get(), [this](const LabelSpec& label) { return form_.InkOf(label); });
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
                RemovePreTranslator(navigation_);
                return 0;
            default:
                return DefWindowProcW(hwnd_, msg, wParam, lParam);
        }
    }

  private:
    bool OnCreate() {
        system_.SetOwner(hwnd_);
        // Placed, and given its font, by the kit.
        button_ = CreateWindowExW(0, L"BUTTON", kCommand1Caption.data(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1Id)), instance_, nullptr);
        if (!button_)
            return false;  // without OK the box could still close by its caption, but it would be half drawn
        AddTooltips();
        kit_.Attach(hwnd_, [this] { MoveLinkTips(); });
        navigation_ = AddDialogNavigation(hwnd_);
        return true;
    }

    void AddTooltips() {
        tips_.Create(instance_, hwnd_);
        tips_.AddForControl(button_, kCommand1Tip);
        const auto labels = VersionBox::Layout().labels;
        for (size_t i = 0; i < labels.size(); ++i) {
            if (GroupOf(labels[i].index) != LinkGroup::None)  // where the link reacts to the pointer
                tips_.AddForArea(static_cast<UINT_PTR>(labels[i].index), kit_.TextArea(i),
                                 VersionBox::TipFor(labels[i].index));
        }
    }

    // The links' tips cover their texts as drawn, at every DPI.
    void MoveLinkTips() {
        const auto labels = VersionBox::Layout().labels;
        for (size_t i = 0; i < labels.size(); ++i) {
            if (GroupOf(labels[i].index) != LinkGroup::None)
                tips_.MoveArea(static_cast<UINT_PTR>(labels[i].index), kit_.TextArea(i));
        }
    }

    // A label reacts where its text lies, as drawn: what lights up under the pointer is what a click opens.
    int LabelAtPixel(int x, int y) const {
        const Dpi dpi = kit_.DpiOf();
        return LabelAt(VersionBox::Layout(), kit_.TextAreasTwips(), PixelsToTwips(x, dpi.x), PixelsToTwips(y, dpi.y));
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
    UniqueCursor hand_;
    HWND button_ = nullptr;
    Tooltips tips_;
    int navigation_ = 0;
    int pressed_ = -1;
};

// The box while it is open: one user-interface thread, one box.
VersionBoxWindow* g_openBox = nullptr;

}  // namespace

void ShowVersionBox(HINSTANCE instance, HWND owner) {
    // Open already (the tray menu still reaches the main window): bring that one to the front.
    if (g_openBox) {
        (void)SetForegroundWindow(g_openBox->Window());  // only a request; the box is modal either way
        return;
    }
    VersionBoxWindow box(instance);
    // Owned by the main window, so a main window kept in front cannot cover the box.
    if (!box.Create(owner))
        return;
    g_openBox = &box;
    (void)ShowWindow(box.Window(), SW_SHOW);  // returns the previous state
    (void)UpdateWindow(box.Window());         // the first paint comes with the loop otherwise
    RunModal(box.Window());
    g_openBox = nullptr;
}

}  // namespace vitrell
