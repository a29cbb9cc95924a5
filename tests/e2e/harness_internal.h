#pragma once
// What the harness's files share among themselves; tests use harness.h.
#include <windows.h>

#include <string_view>
#include <vector>

namespace vitrell::e2e {

// How long a message to another process's window may take before the harness gives up on it.
inline constexpr DWORD kSendTimeoutMs = 2000;

// Waits until a process or thread has ended or an event is set; says what it waited for when it runs out.
bool WaitForSignal(HANDLE handle, DWORD timeoutMs, const char* what);

// The processes of the prefix running an exe of that name (case does not matter).
std::vector<DWORD> ProcessIdsNamed(std::wstring_view exeName);

}  // namespace vitrell::e2e
