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

const NewerCalls& SystemNewerCalls() {
    static const NewerCalls calls = LookUp();
    return calls;
}

}  // namespace vitrell
