#include "core/probes.h"

namespace vitrell {

namespace {
constexpr std::uint32_t kPlatformWin9x = 1;
constexpr std::uint32_t kPlatformNT = 2;
// The scheme name came into a 256-byte buffer with its terminator; longer names read as none.
constexpr size_t kMaxSchemeChars = 255;
}  // namespace

std::wstring OsNameFromVersion(const OsVersion& v) {
    if (v.platformId == kPlatformWin9x) {
        if (v.minor == 0)
            return L"Windows 95";
        return v.minor == 10 ? L"Windows 98" : L"Windows Me";
    }
    if (v.platformId == kPlatformNT) {
        if (v.major == 4)
            return L"Windows NT";
        return std::wstring(v.minor == 0 ? kWindows2000 : kWindowsXP);
    }
    return std::wstring();
}

std::wstring GetOSName(ISystemInfo& system) {
    return OsNameFromVersion(system.QueryVersion());
}

std::wstring GetAppearanceScheme(IRegistry& registry) {
    return registry.ReadString(L"Control Panel\\Appearance", L"Current", kMaxSchemeChars).value_or(std::wstring());
}

}  // namespace vitrell
