// The Windows entry point: builds the process-wide records, runs Main, then the message loop.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <vector>

#include "about/splash_win32.h"
#include "app/startup.h"
#include "mainwin/main_window_win32.h"
#include "platform/win32/help_viewers_win32.h"
#include "platform/win32/message_pump_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/units_win32.h"

namespace vitrell {
namespace {

class Win32StartupHost final : public IStartupHost {
  public:
    Win32StartupHost(HINSTANCE instance, AppContext& app) : instance_(instance), app_(app) {}

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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)),
                                  static_cast<DWORD>(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES)};
    (void)InitCommonControlsEx(&controls);  // without it the controls that still come up are all there is

    vitrell::Win32Registry registry;
    vitrell::Win32HelpViewers helpViewers;
    vitrell::AppContext app(registry, helpViewers);
    vitrell::Win32StartupHost host(instance, app);
    vitrell::Main(app, host);
    if (!host.Loaded())
        return 1;
    return vitrell::RunMessageLoop();
}
