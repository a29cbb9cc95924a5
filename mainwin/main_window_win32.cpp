#include "mainwin/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "about/version_box_win32.h"
#include "core/product.h"
#include "mainwin/main_window.h"
#include "mainwin/menus_win32.h"
#include "mainwin/system_menu_win32.h"
#include "mainwin/toolbar_win32.h"
#include "mainwin/tray_win32.h"
#include "platform/win32/base_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/hidden_owner_win32.h"
#include "platform/win32/message_pump_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/scaled_window_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/units_win32.h"
#include "platform/win32/window_system_win32.h"
#include "settings_dialog/settings_dialog_win32.h"

namespace vitrell {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2IntervalMs = 50;
constexpr UINT kMsgActivate = WM_APP + 1;  // Form_Activate, run once the activation has settled
constexpr int kMaxPixels = 30000;          // an edited position far off any screen still fits the window manager

int ClampPixels(int value) {
    return std::clamp(value, -kMaxPixels, kMaxPixels);
}

bool OwnThreadWindow(HWND window) {
    return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), 0));
}

class MainWindowWin32 final : public BaseWindow<MainWindowWin32>, private IMainWindowView, private ScaledWindowWin32 {
  public:
    MainWindowWin32(HINSTANCE instance, AppContext& app)
        : instance_(instance),
          app_(app),
          form_(app, *this, toolbar_, tray_, windows_),
          bigIcon_(LoadProgramIcon(instance, SM_CXICON, SM_CYICON)),
          smallIcon_(LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON)) {}

    ~MainWindowWin32() { RemovePreTranslator(shortcutsTranslator_); }

    bool Create() {
        // An invisible owner keeps the window off the taskbar while its title bar stays a normal one. Another
        // program closing the program's windows (Task Manager's End Task) may reach the owner.
        if (!owner_.Create(instance_, kMainCaption.data(), bigIcon_.get(),
                           [this] { RequestClose(kUnloadTaskManager); }))
            return false;
        return BaseWindow::Create(instance_, 0, kMainCaption.data(), WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  RECT{0, 0, 100, 100},  // Form_Load gives it its size and place
                                  owner_.Window()) != nullptr;
    }

    WindowClass ClassInfo() const {
        return WindowClass{kMainWindowClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), bigIcon_.get(),
                           smallIcon_.get()};
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
            form_.TaskbarCreated();
            return 0;
        }
        if (msg == showRequest_ && showRequest_ != 0) {
            form_.ShowRequested();
            return 0;
        }
        switch (msg) {
            case WM_CREATE:
                return OnCreate() ? 0 : -1;
            case WM_SIZE:
                SendMessageW(toolbar_.Window(), TB_AUTOSIZE, 0, 0);
                return 0;
            case WM_GETMINMAXINFO:
                // The narrow rows of the layout table lie below the system's minimum for a captioned
                // window; without this the window keeps the minimum and shows what the row means to cut.
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{1, 1};
                return 0;
            case WM_TIMER:
                if (wParam == kTimer1)
                    form_.Timer1_Timer();
                else if (wParam == kTimer2)
                    form_.Timer2_Timer();
                return 0;
            case WM_COMMAND:
                OnCommand(wParam);
                return 0;
            case WM_NOTIFY: {
                LRESULT result = 0;
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header && toolbar_.HandleNotify(*header, result))
                    return result;
                break;
            }
            case WM_ACTIVATE:
                OnActivate(wParam, lParam);
                break;
            case kWmDpiChanged: {
                const DpiChange change = ReadDpiChange(wParam, lParam);
                scaler_.Change(change.dpi, change.suggested);
                return 0;
            }
            case kMsgActivate:
                if (IsWindowVisible(hwnd_) && !form_.Unloaded())
                    form_.Form_Activate();
                return 0;
            case WM_SYSCOMMAND:
                if (IsSettingsEntry(wParam)) {
                    vitrell::ShowSettingsDialog(app_, form_, nullptr, false);  // beside the window: modeless
                    return 0;
                }
                if ((wParam & 0xFFF0) == SC_CLOSE) {
                    // Close box, system-menu Close and Alt+F4 arrive here before WM_CLOSE.
                    closeFromUser_ = true;
                    const LRESULT result = DefWindowProcW(hwnd_, msg, wParam, lParam);
                    closeFromUser_ = false;
                    return result;
                }
                break;
            case WM_CLOSE:
                RequestClose(closeFromUser_ ? kUnloadUser : kUnloadTaskManager);
                return 0;
            case WM_QUERYENDSESSION: {
                bool cancel = false;
                form_.Form_QueryUnload(cancel, kUnloadWindows);
                return cancel ? FALSE : TRUE;
            }
            case WM_DESTROY:
                OnDestroy();
                return 0;
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

  private:
    // A close request; the window goes only through ExitApplication after OK.
    void RequestClose(int mode) {
        if (!hwnd_)
            return;
        bool cancel = false;
        form_.Form_QueryUnload(cancel, mode);
    }

    bool OnCreate() {
        menuBar_ = BuildMenuTree();
        shortcuts_ = BuildShortcuts();
        if (menuBar_)
            menuBarShown_ = SetMenu(hwnd_, menuBar_.get()) != 0;
        shortcutsTranslator_ = AddPreTranslator([this](MSG& msg) { return TranslateShortcut(msg); });
        // Without a toolbar the menus still reach everything.
        (void)toolbar_.Create(hwnd_, instance_, [this] { form_.CustomizeToolbar(); });
        // Without Picture1 the tray has no callback target; the menus still work.
        (void)tray_.Create(instance_, hwnd_, kPicture1Id, smallIcon_ ? smallIcon_.get() : bigIcon_.get(),
                           [this](float x) { form_.Picture1_MouseMove(x); });
        Attach(hwnd_);
        scaler_.Apply(DpiOfWindow(hwnd_));
        taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
        showRequest_ = RegisterWindowMessageW(kShowRequestMessage);
        // Without it the level follows the buttons only; there is nobody to tell.
        (void)SetTimer(hwnd_, kTimer2, kTimer2IntervalMs, nullptr);
        form_.Form_Load();
        loaded_ = true;
        return true;
    }

    // IScaledWindow: the title bar's and Alt+Tab's icons at the window's DPI; once loaded, the toolbar's pictures
    // and the window's size follow a new DPI.
    ObjectHandle MakeImage(int index, Dpi dpi) override {
        const int size = MetricForDpi(index == 0 ? SM_CXSMICON : SM_CXICON, dpi);
        return Own(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
    }
    void UseImage(int index, ObjectHandle image) override {
        if (image)
            (void)SendMessageW(hwnd_, WM_SETICON, index == 0 ? ICON_SMALL : ICON_BIG, static_cast<LPARAM>(image));
    }
    void LaidOut() override {
        if (loaded_)
            form_.Form_DpiChanged();
    }

    // The shortcut keys, while the menu bar that names them is shown and the key is meant for this window.
    bool TranslateShortcut(MSG& msg) {
        if (!hwnd_ || !shortcuts_ || !menuBarShown_)
            return false;
        if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))
            return false;
        return TranslateAcceleratorW(hwnd_, shortcuts_.get(), &msg) != 0;
    }

    void OnCommand(WPARAM wParam) {
        if (const int index = Win32Toolbar::IndexOfCommand(wParam)) {
            form_.Toolbar1_ButtonClick(index);
            return;
        }
        switch (LOWORD(wParam)) {
            case kCmdHelpKeyWord0:
                form_.mnuHelpContent_KeyWord_Click(0);
                break;
            case kCmdHelpKeyWord1:
                form_.mnuHelpContent_KeyWord_Click(1);
                break;
            case kCmdHelpAbout:
                form_.mnuHelpAbout_Click();
                break;
            case kCmdOptSettei:
                form_.mnuOptSettei_Click();
                break;
            case kCmdShowHide0:
                form_.mnuFileShow_Hide_Click(0);
                break;
            case kCmdShowHide1:
                form_.mnuFileShow_Hide_Click(1);
                break;
            case kCmdFileEnd:
                form_.mnuFileEnd_Click();
                break;
        }
    }

    // Form_Activate runs when the window becomes the program's active window: shown, shown again, or
    // focus back from another window of the program; not when the user only switches programs.
    void OnActivate(WPARAM wParam, LPARAM lParam) {
        const HWND other = reinterpret_cast<HWND>(lParam);
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (OwnThreadWindow(other))
                activeForm_ = false;
            return;
        }
        if (!IsWindowVisible(hwnd_))
            return;
        const bool fromOwnWindow = other && other != hwnd_ && OwnThreadWindow(other);
        if (!activeForm_ || fromOwnWindow) {
            activeForm_ = true;
            (void)PostMessageW(hwnd_, kMsgActivate, 0, 0);  // a full queue costs one refresh of the tips
        }
    }

    void OnDestroy() {
        // The window is going: what these leave behind goes with it.
        (void)KillTimer(hwnd_, kTimer1);
        (void)KillTimer(hwnd_, kTimer2);
        (void)SetMenu(hwnd_, nullptr);  // the tree stays ours and goes with menuBar_
        menuBarShown_ = false;
        PostQuitMessage(0);  // the owner goes with this object, at the end of the process
    }

    // The DPI the window is laid out at.
    Dpi WindowDpi() const { return scaler_.Current(); }

    // IMainWindowView
    RECT CurrentRect() const {
        RECT r{};
        (void)GetWindowRect(hwnd_, &r);  // a zero rectangle if the window is gone
        return r;
    }
    void MoveTo(int x, int y, int cx, int cy) {
        // A refused move leaves the window where it was; window calls are not checked.
        (void)SetWindowPos(hwnd_, nullptr, ClampPixels(x), ClampPixels(y), std::max(cx, 0), std::max(cy, 0),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetMenuBarVisible(bool visible) override {
        if (!menuBar_ || visible == menuBarShown_)
            return;
        if (SetMenu(hwnd_, visible ? menuBar_.get() : nullptr))
            menuBarShown_ = visible;
    }
    void SetHeight(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(r.left, r.top, r.right - r.left, TwipsToPixels(twips, WindowDpi().y));
    }
    void SetWidth(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(r.left, r.top, TwipsToPixels(twips, WindowDpi().x), r.bottom - r.top);
    }
    void SetTop(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(r.left, TwipsToPixels(std::clamp(twips, -1e9, 1e9), WindowDpi().y), r.right - r.left, r.bottom - r.top);
    }
    void SetLeft(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(TwipsToPixels(std::clamp(twips, -1e9, 1e9), WindowDpi().x), r.top, r.right - r.left, r.bottom - r.top);
    }
    RectTwips WindowRect() override { return ToTwips(FromRect(CurrentRect()), WindowDpi()); }
    MonitorList Monitors() override { return MonitorsTwips(WindowDpi()); }
    WindowBars MeasureBars(double widthTwips) override {
        const Dpi dpi = WindowDpi();
        WindowBars bars;
        const OsVersion real = RealVersion();
        bars.tableHolds = real.platformId == VER_PLATFORM_WIN32_NT && real.major == 5 && dpi.x == 96 && dpi.y == 96;
        // The frame, the caption and the menu bar as the window's own WM_NCCALCSIZE computes them for that width:
        // what the system draws, a padded border or a wrapped menu bar included, whatever size the window has now.
        constexpr int kTall = 0x4000;
        const int width = TwipsToPixels(widthTwips, dpi.x);
        RECT client{0, 0, width, kTall};
        (void)DefWindowProcW(hwnd_, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
        bars.nonClient = {PixelsToTwips(width - (client.right - client.left), dpi.x),
                          PixelsToTwips(kTall - (client.bottom - client.top), dpi.y)};
        // The toolbar as it stands, and as far as its last button reaches.
        HWND toolbar = toolbar_.Window();
        RECT bar{};
        RECT last{};
        const LRESULT count = toolbar ? SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
        if (toolbar && GetWindowRect(toolbar, &bar) && count > 0)
            (void)SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
                               reinterpret_cast<LPARAM>(&last));
        bars.toolbar = {PixelsToTwips(last.right, dpi.x), PixelsToTwips(bar.bottom - bar.top, dpi.y)};
        return bars;
    }
    int SmallIconPixels() override { return MetricForDpi(SM_CXSMICON, WindowDpi()); }
    void SetTopmost(bool topmost) override {
        (void)SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void SetShowHideEnabled(int index, bool enabled) override {
        if (menuBar_)
            (void)EnableMenuItem(menuBar_.get(), kCmdShowHide0 + index,
                                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    void Show() override {
        (void)ShowWindow(hwnd_, SW_SHOWNORMAL);  // returns the previous state, not an error
        (void)SetForegroundWindow(hwnd_);        // Windows may refuse; the window is shown either way
    }
    void Hide() override {
        (void)ShowWindow(hwnd_, SW_HIDE);
        activeForm_ = false;
    }
    void Unload() override {
        if (hwnd_)
            (void)DestroyWindow(hwnd_);  // fails only for a window already gone
    }
    void SetTrackingInterval(std::uint32_t ms) override {
        if (ms)
            (void)SetTimer(hwnd_, kTimer1, ms, nullptr);  // no timer left: the engine rests, nothing else breaks
        else
            (void)KillTimer(hwnd_, kTimer1);
    }
    void InstallSystemMenuHook() override { AppendSettingsEntry(hwnd_); }
    void DoEvents() override { (void)vitrell::DoEvents(); }  // a WM_QUIT met is passed on to the main loop
    bool KeyDown(int virtualKey) override { return (GetKeyState(virtualKey) & 0x8000) != 0; }
    bool AskOkCancel(std::wstring_view text, std::wstring_view title) override {
        return MessageBoxW(hwnd_, std::wstring(text).c_str(), std::wstring(title).c_str(),
                           MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    }
    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        (void)MessageBoxW(hwnd_, std::wstring(text).c_str(), std::wstring(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    WindowHandle HelpOwner() override { return reinterpret_cast<WindowHandle>(hwnd_); }
    void PopupMainMenu() override {
        if (!menuBar_)
            return;
        POINT at{};
        (void)GetCursorPos(&at);  // a failed query pops up at the corner rather than not at all
        // Our own tree, not GetMenu: while the menu bar is hidden the window has none attached.
        HMENU drop = GetSubMenu(menuBar_.get(), 0);
        (void)SetForegroundWindow(hwnd_);  // so that a click elsewhere closes the menu
        (void)TrackPopupMenu(drop, 0, at.x, at.y, 0, hwnd_, nullptr);
    }
    void ShowSettingsDialog(bool modal) override { vitrell::ShowSettingsDialog(app_, form_, hwnd_, modal); }
    void CloseSettingsDialog() override { vitrell::CloseSettingsDialog(); }
    void ShowVersionBox() override { vitrell::ShowVersionBox(instance_, hwnd_); }
    std::wstring OSName() override { return GetOSName(systemInfo_); }
    std::wstring AppearanceScheme() override { return GetAppearanceScheme(registry_); }

    HINSTANCE instance_;
    AppContext& app_;
    Win32WindowSystem windows_;
    Win32SystemInfo systemInfo_;
    Win32Registry registry_;
    Win32Toolbar toolbar_;
    TrayIcon tray_;
    MainWindow form_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    HiddenOwner owner_;
    UniqueMenu menuBar_;
    UniqueAccelerators shortcuts_;
    int shortcutsTranslator_ = 0;
    UINT taskbarCreated_ = 0;
    UINT showRequest_ = 0;
    bool menuBarShown_ = false;
    bool activeForm_ = false;
    bool closeFromUser_ = false;
    bool loaded_ = false;  // Form_Load has run: a DPI change reaches the form
    // Declared last, so it goes first, while what it calls on still lives: Picture1 and the window's icons.
    DpiScaler scaler_{*this, MainWindowParts(), {}, kMainWindowImages};
};

std::unique_ptr<MainWindowWin32> g_mainWindow;  // the one main window, loaded once per process

}  // namespace

bool LoadMainWindow(HINSTANCE instance, AppContext& app, bool visible) {
    g_mainWindow = std::make_unique<MainWindowWin32>(instance, app);
    if (!g_mainWindow->Create())
        return false;
    if (visible) {
        (void)ShowWindow(g_mainWindow->Window(), SW_SHOWNORMAL);  // returns the previous state
        (void)UpdateWindow(g_mainWindow->Window());               // the first paint comes with the loop otherwise
    }
    return true;
}

}  // namespace vitrell
