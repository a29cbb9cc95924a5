#include "mainwin/main_window_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "about/about_win32.h"
#include "mainwin/main_window.h"
#include "mainwin/toolbar_win32.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/modal_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/window_system_win32.h"
#include "settings_dialog/settings_dialog_win32.h"

namespace vitrell {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2IntervalMs = 50;
constexpr UINT kMsgActivate = WM_APP + 1;  // Form_Activate, run once the activation has settled
constexpr int kMaxPixels = 30000;          // an edited position far off any screen still fits the window manager
constexpr int kDoEventsLimit = 1000;

// Picture1: left 690, top 480, 480 x 480 twips, below the visible client area.
constexpr double kPictureLeftTwips = 690;
constexpr double kPictureTopTwips = 480;
constexpr double kPictureSizeTwips = 480;

struct AccelTraits {
    using Handle = HACCEL;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DestroyAcceleratorTable(h); }
};
using UniqueAccel = UniqueResource<AccelTraits>;

int ClampPixels(int value) {
    return std::clamp(value, -kMaxPixels, kMaxPixels);
}

bool OwnThreadWindow(HWND window) {
    return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The menu tree of the main window; the tray pop-up shows its first drop-down.
UniqueMenu BuildMenuTree() {
    UniqueMenu bar(CreateMenu());
    HMENU total = CreatePopupMenu();
    HMENU help = CreatePopupMenu();
    HMENU option = CreatePopupMenu();
    HMENU file = CreatePopupMenu();
    if (!bar || !total || !help || !option || !file) {
        for (HMENU m : {total, help, option, file})
            if (m)
                (void)DestroyMenu(m);  // only memory is at stake
        return UniqueMenu();
    }
    // A failed append only leaves that item out; the rest of the tree still works.
    const auto add = [](HMENU menu, UINT flags, UINT_PTR id, const wchar_t* text) {
        (void)AppendMenuW(menu, flags, id, text);
    };
    add(help, MF_STRING, kCmdHelpKeyWord0, L"ﾄﾋﾟｯｸの検索(&H)\tF1");
    add(help, MF_STRING, kCmdHelpKeyWord1, L"目次(&C)");
    add(help, MF_SEPARATOR, 0, nullptr);
    add(help, MF_STRING, kCmdHelpAbout, L"ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    add(option, MF_STRING, kCmdOptSettei, L"各種設定(&K)...\tCtrl+K");
    add(file, MF_STRING | MF_GRAYED, kCmdShowHide0, L"ﾌｫｰﾑの表示(&S)");
    add(file, MF_STRING, kCmdShowHide1, L"ﾌｫｰﾑのｱｲｺﾝ化(&I)\tCtrl+I");
    add(file, MF_SEPARATOR, 0, nullptr);
    add(file, MF_STRING, kCmdFileEnd, L"ビトレル の終了(&X)...");
    add(total, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"ﾍﾙﾌﾟ(&H)");
    add(total, MF_POPUP, reinterpret_cast<UINT_PTR>(option), L"ｵﾌﾟｼｮﾝ(&O)");
    add(total, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ﾌｧｲﾙ(&F)");
    add(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(total), L"総合ﾒﾆｭｰ(&M)");
    return bar;
}

UniqueAccel BuildAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY, VK_F1, static_cast<WORD>(kCmdHelpKeyWord0)},
        {FVIRTKEY | FCONTROL, 'K', static_cast<WORD>(kCmdOptSettei)},
        {FVIRTKEY | FCONTROL, 'I', static_cast<WORD>(kCmdShowHide1)},
    };
    return UniqueAccel(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

class MainWindowWin32;
WNDPROC PrevWndProc = nullptr;                  // the main window's procedure before the system-menu hook
std::unique_ptr<MainWindowWin32> g_mainWindow;  // the one main window, loaded once per process

LRESULT CALLBACK SysMenuWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

class MainWindowWin32 final : public BaseWindow<MainWindowWin32>, private IMainWindowView, private ITray {
  public:
    MainWindowWin32(HINSTANCE instance, AppContext& app)
        : instance_(instance), app_(app), form_(app, *this, toolbar_, *this, windows_) {}

    bool Create() {
        bigIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
        smallIcon_.reset(
            static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0)));
        if (!RegisterClasses())
            return false;
        // An invisible owner keeps the window off the taskbar while its title bar stays a normal one.
        owner_ = CreateWindowExW(0, kHiddenOwnerClass, kMainCaption.data(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance_, this);
        if (!owner_)
            return false;
        return CreateWindowExW(0, kMainWindowClass, kMainCaption.data(), WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner_, nullptr, instance_, this) != nullptr;
    }

    bool TranslateShortcut(MSG& msg) {
        if (!hwnd_ || !accelerators_ || !menuBarShown_)
            return false;
        if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))
            return false;
        return ::TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg) != 0;
    }

    void OpenSettingsModeless() { vitrell::ShowSettingsDialog(app_, form_, false); }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
            form_.TaskbarCreated();
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
            case kMsgActivate:
                if (IsWindowVisible(hwnd_) && !form_.Unloaded())
                    form_.Form_Activate();
                return 0;
            case WM_SYSCOMMAND:
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

    // A close request; the window goes only through ExitApplication after OK.
    void RequestClose(int mode) {
        bool cancel = false;
        form_.Form_QueryUnload(cancel, mode);
    }

    void Picture1MouseMove(LPARAM lParam) {
        form_.Picture1_MouseMove(static_cast<float>(static_cast<short>(LOWORD(lParam))));
    }

    HICON BigIcon() const { return bigIcon_.get(); }

  private:
    bool RegisterClasses() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance_;
        wc.hIcon = bigIcon_.get();
        wc.hIconSm = smallIcon_.get();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kMainWindowClass;
        if (!RegisterClassExW(&wc))
            return false;

        WNDCLASSEXW owner{};
        owner.cbSize = sizeof(owner);
        owner.lpfnWndProc = OwnerProc;
        owner.hInstance = instance_;
        owner.hIcon = bigIcon_.get();
        owner.lpszClassName = kHiddenOwnerClass;
        if (!RegisterClassExW(&owner))
            return false;

        WNDCLASSEXW picture{};
        picture.cbSize = sizeof(picture);
        picture.lpfnWndProc = PictureProc;
        picture.hInstance = instance_;
        picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        picture.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        picture.lpszClassName = kPictureClass;
        return RegisterClassExW(&picture) != 0;
    }

    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = WindowObject<MainWindowWin32>(hwnd, msg, lParam);
        // Another program closing the program's windows (Task Manager's End Task) may reach the owner.
        if (msg == WM_CLOSE && self && self->hwnd_) {
            self->RequestClose(kUnloadTaskManager);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = WindowObject<MainWindowWin32>(hwnd, msg, lParam);
        if (self) {
            if (msg == WM_MOUSEMOVE) {
                // The tray's callback: X carries the mouse message number.
                self->Picture1MouseMove(lParam);
                return 0;
            }
            if (msg == WM_PAINT) {
                PAINTSTRUCT ps;
                if (HDC dc = BeginPaint(hwnd, &ps)) {
                    if (self->BigIcon())
                        (void)DrawIconEx(dc, 0, 0, self->BigIcon(), 0, 0, 0, nullptr, DI_NORMAL);  // never seen
                    EndPaint(hwnd, &ps);
                }
                return 0;
            }
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    bool OnCreate() {
        menuBar_ = BuildMenuTree();
        accelerators_ = BuildAccelerators();
        if (menuBar_) {
            menuBarShown_ = SetMenu(hwnd_, menuBar_.get()) != 0;
        }
        // Without a toolbar the menus still reach everything.
        (void)toolbar_.Create(hwnd_, instance_, [this] { form_.CustomizeToolbar(); });
        picture1_ = CreateWindowExW(0, kPictureClass, nullptr, WS_CHILD | WS_VISIBLE, TwipsToPixelsX(kPictureLeftTwips),
                                    TwipsToPixelsY(kPictureTopTwips), TwipsToPixelsX(kPictureSizeTwips),
                                    TwipsToPixelsY(kPictureSizeTwips), hwnd_, nullptr, instance_, this);
        taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
        // Without it the level follows the buttons only; there is nobody to tell.
        (void)SetTimer(hwnd_, kTimer2, kTimer2IntervalMs, nullptr);
        form_.Form_Load();
        return true;
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
        if (owner_) {
            // The owner goes after this window; posting keeps us out of its destruction while inside ours.
            (void)PostMessageW(owner_, WM_CLOSE, 0, 0);  // else it ends with the process
        }
        PostQuitMessage(0);
    }

    // IMainWindowView
    RECT CurrentRect() const {
        RECT r{};
        (void)GetWindowRect(hwnd_, &r);  // a zero rectangle if the window is gone
        return r;
    }
    void MoveTo(int x, int y, int cx, int cy) {
        // A refused move leaves the window where it was, as the design wants for window calls.
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
        MoveTo(r.left, r.top, r.right - r.left, TwipsToPixelsY(twips));
    }
    void SetWidth(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(r.left, r.top, TwipsToPixelsX(twips), r.bottom - r.top);
    }
    void SetTop(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(r.left, TwipsToPixelsY(std::clamp(twips, -1e9, 1e9)), r.right - r.left, r.bottom - r.top);
    }
    void SetLeft(double twips) override {
        const RECT r = CurrentRect();
        MoveTo(TwipsToPixelsX(std::clamp(twips, -1e9, 1e9)), r.top, r.right - r.left, r.bottom - r.top);
    }
    RectTwips WindowRect() override {
        const RECT r = CurrentRect();
        return {PixelsToTwipsX(r.left), PixelsToTwipsY(r.top), PixelsToTwipsX(r.right - r.left),
                PixelsToTwipsY(r.bottom - r.top)};
    }
    SizeTwips ScreenSize() override { return ScreenSizeTwips(); }
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
    void InstallSystemMenuHook() override {
        if (HMENU system = GetSystemMenu(hwnd_, FALSE)) {
            // A failed append leaves the entry out and changes nothing else.
            (void)AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
            (void)AppendMenuW(system, MF_STRING, kSysMenuSettingsCommand, L"各種設定(&K)");
        }
        PrevWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SysMenuWndProc)));
        if (!PrevWndProc)  // not replaced: the window keeps its own procedure
            PrevWndProc = WindowProc;
    }
    void DoEvents() override {
        MSG msg{};
        for (int i = 0; i < kDoEventsLimit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends the program
                return;
            }
            if (vitrell::TranslateMainWindowAccelerator(msg) || TranslateModelessDialogMessage(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    bool KeyDown(int virtualKey) override { return (GetKeyState(virtualKey) & 0x8000) != 0; }
    bool AskOkCancel(std::wstring_view text, std::wstring_view title) override {
        return MessageBoxW(hwnd_, std::wstring(text).c_str(), std::wstring(title).c_str(),
                           MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    }
    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        (void)MessageBoxW(hwnd_, std::wstring(text).c_str(), std::wstring(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    void OpenHelp(const std::wstring& file, std::uint32_t command) override {
        (void)::WinHelpW(hwnd_, file.c_str(), command, 0);  // the help engine reports its own failures
    }
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
    void ShowSettingsDialog(bool modal) override { vitrell::ShowSettingsDialog(app_, form_, modal); }
    void CloseSettingsDialog() override { vitrell::CloseSettingsDialog(); }
    void ShowVersionBox() override { ShowVersionBoxModal(instance_, app_); }
    std::wstring OSName() override { return GetOSName(systemInfo_); }
    std::wstring AppearanceScheme() override { return GetAppearanceScheme(registry_); }

    // ITray
    void Notify(TrayMessage message) override {
        NOTIFYICONDATAW data{};
        data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // the size Windows 2000 and XP accept
        data.hWnd = picture1_;
        data.uID = kTrayIconId;
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = WM_MOUSEMOVE;
        data.hIcon = smallIcon_ ? smallIcon_.get() : bigIcon_.get();
        kTrayTip.copy(data.szTip, std::min(kTrayTip.size(), std::size(data.szTip) - 1));
        const DWORD op = message == TrayMessage::Add      ? NIM_ADD
                         : message == TrayMessage::Modify ? NIM_MODIFY
                                                          : NIM_DELETE;
        (void)Shell_NotifyIconW(op, &data);  // no notification area: the program runs on without the icon
    }

    HINSTANCE instance_;
    AppContext& app_;
    Win32WindowSystem windows_;
    Win32SystemInfo systemInfo_;
    Win32Registry registry_;
    Win32Toolbar toolbar_;
    MainWindow form_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueMenu menuBar_;
    UniqueAccel accelerators_;
    HWND owner_ = nullptr;
    HWND picture1_ = nullptr;
    UINT taskbarCreated_ = 0;
    bool menuBarShown_ = false;
    bool activeForm_ = false;
    bool closeFromUser_ = false;
};

LRESULT CALLBACK SysMenuWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && wParam == kSysMenuSettingsCommand && g_mainWindow)
        g_mainWindow->OpenSettingsModeless();
    return CallWindowProcW(PrevWndProc, hwnd, msg, wParam, lParam);
}

}  // namespace

bool LoadMainWindow(HINSTANCE instance, AppContext& app, bool visible) {
    g_mainWindow = std::make_unique<MainWindowWin32>(instance, app);
    if (!g_mainWindow->Create())
        return false;
    if (visible) {
        (void)ShowWindow(g_mainWindow->Window(), SW_SHOWNORMAL);
        (void)UpdateWindow(g_mainWindow->Window());  // the first paint comes with the loop otherwise
    }
    return true;
}

bool TranslateMainWindowAccelerator(MSG& msg) {
    return g_mainWindow && g_mainWindow->TranslateShortcut(msg);
}

}  // namespace vitrell
