#pragma once
// The system's two help viewers, WinHelp and HTML Help, and what choosing between them needs to know.
#include <cstdint>
#include <string>

#include "platform/system_info.h"
#include "platform/window_system.h"

namespace vitrell {

class IHelpViewers {
  public:
    virtual ~IHelpViewers() = default;
    virtual OsVersion RealVersion() = 0;  // what the system is, whatever a compatibility setting reports
    virtual bool FileExists(const std::wstring& path) = 0;
    // Loads HTML Help on first use; false where it cannot be loaded.
    virtual bool HtmlHelpLoadable() = 0;
    // The viewers' own calls; their results are not examined.
    virtual void CallWinHelp(WindowHandle owner,
                             const std::wstring& file,
                             std::uint32_t command,
                             std::uintptr_t data) = 0;
    virtual void CallHtmlHelp(WindowHandle owner, const std::wstring& file, std::uint32_t command) = 0;
};

}  // namespace vitrell
