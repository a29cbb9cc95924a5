#include "mainwin/main_window_win32.h"

#include <memory>

#include "app/exit.h"
#include "app/text.h"
#include "engine/engine.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/window_system_win32.h"
#include "settings_dialog/settings_dialog_win32.h"

namespace vitrell {

namespace {

constexpr UINT_PTR kTimer1 = 1;

class MainWindow final : public BaseWindow<MainWindow>, private IExitHost {
public:
    explicit MainWindow(AppContext& app) : app_(app), engine_(app.Settings, windows_) {}

    bool Create(HINSTANCE instance) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kMainWindowClass;
        RegisterClassExW(&wc);
        return CreateWindowExW(WS_EX_TOOLWINDOW, kMainWindowClass, L"ビトレル", WS_CAPTION | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this) != nullptr;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_CREATE:
                Form_Load();
                return 0;
            case WM_TIMER:
                if (wParam == kTimer1)
                    engine_.Timer1_Timer();
                return 0;
            case WM_CLOSE:
                ExitApplication(app_, *this);
                return 0;
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

private:
    void Form_Load() {
        SetWindowPos(hwnd_, nullptr, TwipsToPixelsX(LeadingNumber(app_.Settings.T_Left)),
                     TwipsToPixelsY(LeadingNumber(app_.Settings.T_Top)), TwipsToPixelsX(1810), TwipsToPixelsY(1000),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SwitchEngine(app_.Settings, app_.Store, app_.Toolbar);
        if (const UINT interval = TrackingIntervalMs(app_.Settings.OptNin))
            SetTimer(hwnd_, kTimer1, interval, nullptr);
    }

    RectTwips MainWindowRect() override {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return {PixelsToTwipsX(r.left), PixelsToTwipsY(r.top), PixelsToTwipsX(r.right - r.left),
                PixelsToTwipsY(r.bottom - r.top)};
    }
    void CloseSettingsDialog() override { vitrell::CloseSettingsDialog(); }
    void UnloadMainWindow() override { DestroyWindow(hwnd_); }

    AppContext& app_;
    Win32WindowSystem windows_;
    Engine engine_;
};

std::unique_ptr<MainWindow> g_mainWindow;  // the one main window, loaded once per process

}  // namespace

bool LoadMainWindow(HINSTANCE instance, AppContext& app, bool visible) {
    g_mainWindow = std::make_unique<MainWindow>(app);
    if (!g_mainWindow->Create(instance))
        return false;
    if (visible) {
        ShowWindow(g_mainWindow->Window(), SW_SHOWNORMAL);
        UpdateWindow(g_mainWindow->Window());
    }
    return true;
}

bool TranslateMainWindowAccelerator(MSG&) {
    return false;
}

}  // namespace vitrell
