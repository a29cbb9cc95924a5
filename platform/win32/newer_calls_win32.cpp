#include "platform/win32/newer_calls_win32.h"

namespace vitrell {

namespace {

template <typename Function>
void Find(Function& function, HMODULE module, const char* name) {
    // A function pointer from GetProcAddress is cast to its real type; that is what the lookup is for.
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

NewerCalls LookUp() {
    NewerCalls calls;
    // user32 is loaded in every GUI process; GetModuleHandle takes no reference that would need freeing.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Find(calls.GetLayeredWindowAttributes, user32, "GetLayeredWindowAttributes");
    Find(calls.GetDpiForWindow, user32, "GetDpiForWindow");
    Find(calls.GetSystemMetricsForDpi, user32, "GetSystemMetricsForDpi");
    Find(calls.RtlGetVersion, GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");  // in every process, like user32
    return calls;
}

}  // namespace

void RestrictDllSearch() {
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32, unknown to older headers
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");  // in every process
    BOOL(WINAPI * setDefault)(DWORD) = nullptr;
    Find(setDefault, kernel32, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32))
        return;
    BOOL(WINAPI * setDirectory)(LPCWSTR) = nullptr;
    Find(setDirectory, kernel32, "SetDllDirectoryW");
    if (setDirectory)
        (void)setDirectory(L"");  // a refusal leaves the search as it was; there is nothing better to fall back to
}

const NewerCalls& SystemNewerCalls() {
    static const NewerCalls calls = LookUp();
    return calls;
}

}  // namespace vitrell
