#pragma once
// Opening the help file: WinHelp with VITRELL.HLP where the system has it (Windows 2000, XP, Server 2003), HTML Help
// with VITRELL.chm from Vista on, where WinHelp is gone. Every entry point asks in WinHelp's terms.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/help_viewers.h"

namespace vitrell {

// WinHelp's commands.
inline constexpr std::uint32_t kHelpContext = 0x0001;
inline constexpr std::uint32_t kHelpQuit = 0x0002;
inline constexpr std::uint32_t kHelpContents = 0x0003;
inline constexpr std::uint32_t kHelpPartialKey = 0x0105;

// HTML Help's.
inline constexpr std::uint32_t kHhDisplayTopic = 0x0000;
inline constexpr std::uint32_t kHhDisplayToc = 0x0001;
inline constexpr std::uint32_t kHhDisplayIndex = 0x0002;
inline constexpr std::uint32_t kHhCloseAll = 0x0012;

enum class HelpViewer { kWinHelp, kHtmlHelp };

struct HelpCall {
    HelpViewer viewer = HelpViewer::kWinHelp;
    std::wstring file;  // for a topic of the .chm, "file::/page"
    std::uint32_t command = 0;
    std::uintptr_t data = 0;  // WinHelp's data; HTML Help's is always 0

    bool operator==(const HelpCall&) const = default;
};

// The call that answers a WinHelp request: the designed one, or its HTML Help form where that viewer is the one.
HelpCall ChooseHelpCall(IHelpViewers& viewers,
                        const std::wstring& helpFile,
                        const std::wstring& htmlHelpFile,
                        std::uint32_t command,
                        std::uintptr_t data);

// Opens help for the program's windows and remembers which viewers it used, so that they close with the program.
class HelpDesk {
  public:
    explicit HelpDesk(IHelpViewers& viewers) : viewers_(viewers) {}

    void Open(WindowHandle owner,
              const std::wstring& helpFile,
              const std::wstring& htmlHelpFile,
              std::uint32_t command,
              std::uintptr_t data);
    // HELP_QUIT for every window that asked WinHelp, and HH_CLOSE_ALL once HTML Help was used.
    void CloseAll();

  private:
    IHelpViewers& viewers_;
    std::wstring winHelpFile_;
    std::vector<WindowHandle> winHelpOwners_;
    bool htmlHelpUsed_ = false;
};

// For records built without a system: no viewer at all.
IHelpViewers& NoHelpViewers();

}  // namespace vitrell
