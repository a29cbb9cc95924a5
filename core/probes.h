#pragma once
// Which Windows this is, and whether the user has picked an appearance scheme. No state: each call asks afresh.
#include <string>

#include "platform/registry.h"
#include "platform/system_info.h"

namespace vitrell {

inline constexpr std::wstring_view kWindowsXP = L"Windows XP";
inline constexpr std::wstring_view kWindows2000 = L"Windows 2000";

std::wstring OsNameFromVersion(const OsVersion& version);
std::wstring GetOSName(ISystemInfo& system);

// The value "Current" of HKCU\Control Panel\Appearance, or the empty text.
std::wstring GetAppearanceScheme(IRegistry& registry);

}  // namespace vitrell
