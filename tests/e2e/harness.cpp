// The harness (tests/e2e/harness.h): waiting, the watchdog that names a stalled call, and the fixture.
#include "tests/e2e/harness.h"

#include <atomic>
#include <cstdio>

#include "platform/win32/handles.h"
#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

// ---- Waiting -------------------------------------------------------------------------------------------------

void PumpFor(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

void ReportWaitRanOut(const char* what, DWORD timeoutMs) {
    std::printf("[  WAITED  ] %s: not so within %lu ms\n", what, static_cast<unsigned long>(timeoutMs));
    std::fflush(stdout);
}

bool WaitForSignal(HANDLE handle, DWORD timeoutMs, const char* what) {
    const BlockingCall call(what);
    if (WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0)
        return true;
    ReportWaitRanOut(what, timeoutMs);
    return false;
}

// ---- Stalls ----------------------------------------------------------------------------------------------------

namespace {

// CTest ends a test after 120 s without saying where it stood; the watchdog ends it a little earlier and names
// the call the driver was in.
constexpr ULONGLONG kTestLimitMs = 100000;

std::atomic<const char*> g_currentCall{nullptr};
std::atomic<ULONGLONG> g_testStarted{0};
char g_testName[256] = "";

DWORD WINAPI Watchdog(void*) {
    for (;;) {
        Sleep(250);
        const ULONGLONG started = g_testStarted.load();
        if (started == 0 || GetTickCount64() - started < kTestLimitMs)
            continue;
        const char* call = g_currentCall.load();
        std::printf("\n[  STALLED ] %s: no end after %llu s; the driver was in: %s\n", g_testName,
                    static_cast<unsigned long long>(kTestLimitMs / 1000), call ? call : "(no named call)");
        std::fflush(stdout);
        // The programs the driver started hold its output open; they go first, or the run would wait on them.
        for (const wchar_t* name : {L"VITRELL.exe", L"vitrell_e2e_sleeper.exe", L"IEXPLORE.EXE"}) {
            for (const DWORD pid : ProcessIdsNamed(name)) {
                UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
                if (process)
                    (void)TerminateProcess(process.get(), 3);  // the driver ends next either way
            }
        }
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

void StartWatchdogOnce() {
    static const bool started = [] {
        HANDLE thread = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
        if (thread)
            (void)CloseHandle(thread);  // it runs until the process ends
        return thread != nullptr;
    }();
    (void)started;
}

}  // namespace

BlockingCall::BlockingCall(const char* what) : previous_(g_currentCall.exchange(what)) {}

BlockingCall::~BlockingCall() {
    g_currentCall.store(previous_);
}

// ---- Fixture -------------------------------------------------------------------------------------------------

void VitrellTest::SetUp() {
    StartWatchdogOnce();
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        std::snprintf(g_testName, sizeof(g_testName), "%s.%s", info->test_suite_name(), info->name());
    g_testStarted.store(GetTickCount64());
    KillLeftoverVitrell();
    DeleteSettings();
}

void VitrellTest::TearDown() {
    KillLeftoverVitrell();
    DeleteSettings();
    g_testStarted.store(0);
}

}  // namespace vitrell::e2e
