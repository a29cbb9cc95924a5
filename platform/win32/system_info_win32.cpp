#include "platform/win32/system_info_win32.h"

#include <windows.h>

namespace vitrell {

OsVersion Win32SystemInfo::QueryVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return {};  // a failed query names no system
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

}  // namespace vitrell
