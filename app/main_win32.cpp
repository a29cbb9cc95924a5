// The Windows entry point: builds the process-wide records, runs Main, then the message loop.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <vector>

#include "about/splash_win32.h"
#include "app/startup.h"
#include "core/product.h"
#include "mainwin/main_window_win32.h"
#include "platform/win32/help_viewers_win32.h"
#include "platform/win32/message_pump_win32.h"
#include "platform/win32/newer_calls_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/units_win32.h"

namespace vitrell {
namespace {

class Win32StartupHost final : public IStartupHost {
  public:
    Win32StartupHost(HINSTANCE instance, AppContext& app) : instance_(instance), app_(app) {}

    bool FirstCopy() override {
        // Never closed: the mark is held for the life of the process, and goes with it.
        const HANDLE mark = CreateMutexW(nullptr, FALSE, kOneCopyMutexName);
        const DWORD error = GetLastError();
        if (!mark)
            return error != ERROR_ACCESS_DENIED;  // another user's copy in this session; otherwise run unguarded
        return error != ERROR_ALREADY_EXISTS;
    }

    void ShowRunningCopy() override {
        // None while that copy is still starting (its splash) or ending: it shows or goes by itself then.
        const HWND running = FindWindowW(kMainWindowClass, nullptr);
        if (!running)
            return;
        DWORD pid = 0;
        if (GetWindowThreadProcessId(running, &pid))
            (void)AllowSetForegroundWindow(pid);  // refused when this process may not pass the foreground on
        (void)PostMessageW(running, RegisterWindowMessageW(kShowRequestMessage), 0, 0);  // nobody to tell if lost
    }

    std::wstring ApplicationFolder() override {
        std::vector<wchar_t> path(MAX_PATH);
        for (;;) {
            const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0)
                return std::wstring();
            if (n < path.size())
                break;
            path.resize(path.size() * 2);
        }
        std::wstring folder(path.data());
        const auto slash = folder.find_last_of(L"\\/");
        folder.resize(slash == std::wstring::npos ? 0 : slash);
        if (folder.size() == 2 && folder[1] == L':')
            folder += L'\\';  // the root of a drive keeps its separator
        return folder;
    }

    void ChangeDirectory(const std::wstring& folder) override {
        (void)SetCurrentDirectoryW(folder.c_str());  // icons then fail to load; nothing else depends on it
    }

    SizeTwips ScreenSize() override { return ScreenSizeTwips(ReadDpi()); }
    MonitorList Monitors() override { return MonitorsTwips(ReadDpi()); }

    void ShowSplashModal() override { vitrell::ShowSplashModal(instance_); }

    void ShowMainWindow(bool visible) override { loaded_ = LoadMainWindow(instance_, app_, visible); }

    bool Loaded() const { return loaded_; }

  private:
    HINSTANCE instance_;
    AppContext& app_;
    bool loaded_ = false;
};

}  // namespace
}  // namespace vitrell

#if defined(__GLIBCXX__)
#include <cstdlib>
// A windowed program has no console for libstdc++'s default terminate handler to print the failed exception's
// name on, and that handler brings the C++ demangler with it: a ninth of the 32-bit exe. Ending is all it can do.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    vitrell::RestrictDllSearch();
    INITCOMMONCONTROLSEX controls{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)),
                                  static_cast<DWORD>(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES)};
    (void)InitCommonControlsEx(&controls);  // without it the controls that still come up are all there is

    vitrell::Win32Registry registry;
    vitrell::Win32HelpViewers helpViewers;
    vitrell::AppContext app(registry, helpViewers);
    vitrell::Win32StartupHost host(instance, app);
    if (!vitrell::Main(app, host))
        return 0;  // the copy already running has been asked to show itself
    if (!host.Loaded())
        return 1;
    return vitrell::RunMessageLoop();
}
