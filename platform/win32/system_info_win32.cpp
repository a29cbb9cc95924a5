#include "platform/win32/system_info_win32.h"

#include <windows.h>

#include "platform/win32/newer_calls_win32.h"

namespace vitrell {

OsVersion Win32SystemInfo::QueryVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return {};  // a failed query names no system
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

OsVersion RealVersion() {
    if (const auto rtlGetVersion = SystemNewerCalls().RtlGetVersion) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (rtlGetVersion(&info) == 0)  // STATUS_SUCCESS
            return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
    }
    return Win32SystemInfo().QueryVersion();
}

}  // namespace vitrell
