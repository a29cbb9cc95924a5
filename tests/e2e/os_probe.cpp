// Prints the Windows name the program's GetOSName gives on this system (UTF-8, one line).
#include <windows.h>

#include <cstdio>

#include "core/probes.h"
#include "platform/win32/system_info_win32.h"

int wmain() {
    vitrell::Win32SystemInfo system;
    const std::wstring name = vitrell::GetOSName(system);
    char text[256] = {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), static_cast<int>(name.size()), text,
                                      static_cast<int>(sizeof(text) - 1), nullptr, nullptr);
    std::printf("%.*s\n", n > 0 ? n : 0, text);
    return 0;
}
