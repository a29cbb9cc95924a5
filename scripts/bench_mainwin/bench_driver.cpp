// Measures VITRELL.exe from outside, under Wine or Windows:
//   bench_driver startup EXE CLASS RUNS   time from CreateProcess to the first visible window of CLASS (ms)
//   bench_driver resources EXE [PAUSE [STEPS TOGGLES]]
//                                         objects and private memory after start-up, after STEPS level steps
//                                         (1,000) and after TOGGLES toggles (100)
//   bench_driver park X Y                 puts the cursor there (for the idle measurement)
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kLevelUpCommand = 102;  // toolbar button 2
constexpr int kLevelDownCommand = 101;
constexpr int kToggleCommand = 104;

struct Search {
    DWORD pid;
    const wchar_t* cls;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK Find(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    if (pid == s->pid && wcscmp(name, s->cls) == 0 && (!s->visibleOnly || IsWindowVisible(w))) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const wchar_t* cls, bool visibleOnly) {
    Search s{pid, cls, visibleOnly, nullptr};
    EnumWindows(Find, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool Launch(const std::wstring& exe, PROCESS_INFORMATION& info) {
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &info) != FALSE;
}

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
}

int Startup(const std::wstring& exe, const wchar_t* cls, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER f, a, b;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&a);
        PROCESS_INFORMATION info{};
        if (!Launch(exe, info))
            return 2;
        HWND w = nullptr;
        while (!(w = WindowOf(info.dwProcessId, cls, true))) {
            if (WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0)
                return 3;
        }
        QueryPerformanceCounter(&b);
        times.push_back(1000.0 * (b.QuadPart - a.QuadPart) / f.QuadPart);
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        Pump(300);
    }
    std::sort(times.begin(), times.end());
    std::printf("median_ms %.1f min_ms %.1f max_ms %.1f runs %d\n", times[times.size() / 2], times.front(),
                times.back(), runs);
    return 0;
}

int CountWindows(DWORD pid) {
    struct Ctx {
        DWORD pid;
        int n;
    } ctx{pid, 0};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == c->pid) {
                ++c->n;
                EnumChildWindows(
                    w,
                    [](HWND, LPARAM q) -> BOOL {
                        ++*reinterpret_cast<int*>(q);
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&c->n));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

// Prints what Windows tells about the process, then, when `pauseFile` is given, creates it and waits until
// the caller has removed it (the caller reads the memory from outside meanwhile).
void Report(const char* when, HANDLE process, DWORD pid, const wchar_t* pauseFile) {
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof(mem);
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    std::printf("%-18s gdi %lu user %lu windows %d private_kb %llu working_set_kb %llu\n", when,
                GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS), CountWindows(pid),
                static_cast<unsigned long long>(mem.PrivateUsage / 1024),
                static_cast<unsigned long long>(mem.WorkingSetSize / 1024));
    std::fflush(stdout);
    if (!pauseFile)
        return;
    HANDLE f = CreateFileW(pauseFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD n = 0;
    WriteFile(f, when, static_cast<DWORD>(strlen(when)), &n, nullptr);
    CloseHandle(f);
    for (int i = 0; i < 1000 && GetFileAttributesW(pauseFile) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(10);
}

int Resources(const std::wstring& exe, const wchar_t* pauseFile, int steps, int toggles) {
    PROCESS_INFORMATION info{};
    if (!Launch(exe, info))
        return 2;
    HWND main = nullptr;
    for (int i = 0; i < 2000 && !(main = WindowOf(info.dwProcessId, L"VITRELL", true)); ++i)
        Sleep(5);
    if (!main)
        return 3;
    Pump(1500);
    Report("after-start-up", info.hProcess, info.dwProcessId, pauseFile);
    // Up and down in turn: steps that never meet a limit (no message box in between).
    for (int i = 0; i < steps; ++i) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(i % 2 ? kLevelDownCommand : kLevelUpCommand, BN_CLICKED), 0);
        if (i % 50 == 49)
            Pump(20);
    }
    Pump(1500);
    Report("after-level-steps", info.hProcess, info.dwProcessId, pauseFile);
    for (int i = 0; i < toggles; ++i) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(kToggleCommand, BN_CLICKED), 0);
        Pump(10);
    }
    Pump(1500);
    Report("after-toggles", info.hProcess, info.dwProcessId, pauseFile);
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 5 && wcscmp(argv[1], L"startup") == 0)
        return Startup(argv[2], argv[3], _wtoi(argv[4]));
    if (argc >= 3 && wcscmp(argv[1], L"resources") == 0)
        return Resources(argv[2], argc >= 4 ? argv[3] : nullptr, argc >= 6 ? _wtoi(argv[4]) : 1000,
                         argc >= 6 ? _wtoi(argv[5]) : 100);
    if (argc >= 4 && wcscmp(argv[1], L"park") == 0) {
        const int x = _wtoi(argv[2]), y = _wtoi(argv[3]);
        for (int i = 0; i < 50; ++i) {
            SetCursorPos(x, y);
            Sleep(20);
            POINT p{};
            if (GetCursorPos(&p) && p.x == x && p.y == y)
                return 0;
        }
        return 4;
    }
    std::fprintf(
        stderr, "usage: bench_driver startup EXE CLASS RUNS | resources EXE [PAUSE_FILE [STEPS TOGGLES]] | park X Y\n");
    return 1;
}
