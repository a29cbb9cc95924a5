#pragma once
// Calls that the oldest Windows of a build lacks, looked up once at run time. Every caller checks for null and
// keeps working without the call.
#include <windows.h>

namespace vitrell {

struct NewerCalls {
    // Windows XP: reads back what SetLayeredWindowAttributes gave a window.
    BOOL(WINAPI* GetLayeredWindowAttributes)(HWND, COLORREF*, BYTE*, DWORD*) = nullptr;
    // Windows 10 1607: the DPI of the monitor a window is on, and a system metric at a DPI.
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
    int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;
    // ntdll: the version the system really is, whatever a compatibility setting makes GetVersionEx report.
    LONG(WINAPI* RtlGetVersion)(OSVERSIONINFOW*) = nullptr;
};

// The calls this Windows has; looked up on first use.
const NewerCalls& SystemNewerCalls();

// Takes the program's folder and the current directory out of the search for DLLs that the system's own libraries
// load by name later: only the system folder (Windows 7 with KB2533623 and later), or at least not the current
// directory (XP SP1 and later). Older systems keep their search.
void RestrictDllSearch();

}  // namespace vitrell
