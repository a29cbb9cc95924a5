#pragma once
// Which Windows this is, and whether the user has picked an appearance scheme. No state: each call asks afresh.
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace vitrell {

struct OsVersion {
    std::uint32_t platformId = 0;  // 1: the Windows 95 family, 2: the NT family; 0 after a failed query
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    virtual OsVersion QueryVersion() = 0;
};

inline constexpr std::wstring_view kWindowsXP = L"Windows XP";
inline constexpr std::wstring_view kWindows2000 = L"Windows 2000";

std::wstring OsNameFromVersion(const OsVersion& version);
std::wstring GetOSName(ISystemInfo& system);

// The value "Current" of HKCU\Control Panel\Appearance, or the empty text.
std::wstring GetAppearanceScheme(IRegistry& registry);

}  // namespace vitrell
