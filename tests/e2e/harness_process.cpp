// The harness (tests/e2e/harness.h): VITRELL.exe and the other processes a test starts.
#include "tests/e2e/harness.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/handles.h"
#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

namespace {

struct FindContext {
    DWORD pid;
    std::wstring_view className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto& ctx = *reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == ctx.pid && ClassNameOf(window) == ctx.className)
        ctx.found.push_back(window);
    return TRUE;
}

// The unix file the driver's stderr goes to, as e2e_run.sh names it; empty when unknown.
std::wstring StderrLogPath() {
    wchar_t value[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"VITRELL_E2E_STDERR", value, static_cast<DWORD>(std::size(value)));
    return n > 0 && n < std::size(value) ? std::wstring(value) : std::wstring();
}

std::optional<ULONGLONG> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> ReadFileFrom(const std::wstring& path, ULONGLONG offset) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        (void)file.release();  // INVALID_HANDLE_VALUE is not ours to close
        return std::nullopt;
    }
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::string text;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

// The driver's environment block with one variable set to another value.
std::vector<wchar_t> EnvironmentWith(std::wstring_view name, std::wstring_view value) {
    std::vector<wchar_t> block;
    const std::wstring prefix = std::wstring(name) + L'=';
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
            if (_wcsnicmp(entry, prefix.c_str(), prefix.size()) != 0)
                block.insert(block.end(), entry, entry + wcslen(entry) + 1);
        }
        (void)FreeEnvironmentStringsW(strings);  // a leak of one block at worst
    }
    block.insert(block.end(), prefix.begin(), prefix.end());
    block.insert(block.end(), value.begin(), value.end());
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

}  // namespace

// ---- Processes -----------------------------------------------------------------------------------------------

std::wstring DriverFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return L".";
        if (n < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    const auto slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

std::wstring VitrellExePath() {
    wchar_t value[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"VITRELL_EXE", value, static_cast<DWORD>(std::size(value)));
    if (n > 0 && n < std::size(value))
        return value;
    return DriverFolder() + L"\\VITRELL.exe";
}

void KillLeftoverVitrell() {
    const BlockingCall call("KillLeftoverVitrell");
    for (const DWORD pid : ProcessIdsNamed(L"VITRELL.exe")) {
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (!process)
            continue;                               // gone in the meantime
        (void)TerminateProcess(process.get(), 99);  // the wait below tells whether it ended
        (void)WaitForSignal(process.get(), 5000, "a leftover VITRELL.exe to end");
    }
}

std::optional<std::string> RunAndCapture(const std::wstring& exePath, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr;
    HANDLE writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &inherit, 0))
        return std::nullopt;
    UniqueHandle readEnd(readRaw);
    UniqueHandle writeEnd(writeRaw);
    (void)SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);  // only a leak into the child if it fails

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info))
        return std::nullopt;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writeEnd.reset();  // the child holds the only write end now, so the read below ends with it

    std::string out;
    const char* const what = "a console program to end";
    const BlockingCall call(what);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    // Appends what the pipe holds now; false once the child has closed its end.
    const auto readAvailable = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
            if (available == 0)
                return true;
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!ReadFile(readEnd.get(), chunk.data(), available, &got, nullptr))
                return false;
            out.append(chunk.data(), got);
        }
        return false;
    };
    for (;;) {
        if (!readAvailable())
            break;
        if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0) {
            (void)readAvailable();  // what it wrote just before it ended
            break;
        }
        if (GetTickCount64() >= deadline) {
            ReportWaitRanOut(what, timeoutMs);
            (void)TerminateProcess(process.get(), 98);  // a hung probe
            return std::nullopt;
        }
    }
    if (!WaitForSignal(process.get(), 2000, what))
        return std::nullopt;
    return out;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, std::wstring_view className) {
    FindContext ctx{pid, className, {}};
    (void)EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));  // a failed walk finds nothing
    return std::move(ctx.found);
}

Vitrell::~Vitrell() {
    Kill();
}

bool Vitrell::Start(DWORD timeoutMs, Shown shown, const std::wstring& currentDirectory) {
    const std::wstring log = StderrLogPath();
    if (channels_ && !log.empty())
        traceOffset_ = FileSize(log);
    return Launch(timeoutMs, shown, channels_, currentDirectory);
}

bool Vitrell::StartTracingRegistry(DWORD timeoutMs, Shown shown) {
    TraceChannels(L"-all,trace+reg");
    return Start(timeoutMs, shown);
}

std::optional<std::string> Vitrell::TraceSinceStart() const {
    const std::wstring log = StderrLogPath();
    if (log.empty() || !traceOffset_)
        return std::nullopt;
    return ReadFileFrom(log, *traceOffset_);
}

std::optional<std::vector<std::wstring>> Vitrell::RegistryWrites() const {
    const std::optional<std::string> text = TraceSinceStart();
    if (!text)
        return std::nullopt;
    // Wine writes one line per call: "0104:trace:reg:NtSetValueKey (0x4c,L"OptLogo",1,...)".
    char prefix[64];
    std::snprintf(prefix, sizeof(prefix), "%04lx:trace:reg:NtSetValueKey (", static_cast<unsigned long>(mainThreadId_));
    std::vector<std::wstring> names;
    size_t at = 0;
    while ((at = text->find(prefix, at)) != std::string::npos) {
        const size_t open = text->find("L\"", at);
        const size_t close = open == std::string::npos ? open : text->find('"', open + 2);
        const size_t end = text->find('\n', at);
        if (open == std::string::npos || close == std::string::npos || (end != std::string::npos && close > end)) {
            at += std::strlen(prefix);
            continue;
        }
        const std::string name = text->substr(open + 2, close - open - 2);
        names.emplace_back(name.begin(), name.end());  // setting names are ASCII
        at = close;
    }
    return names;
}

bool Vitrell::Launch(DWORD timeoutMs, Shown shown, const wchar_t* wineDebug, const std::wstring& currentDirectory) {
    if (shown == Shown::kAuto)
        shown = GetString(L"Config", L"OptWinS") == L"1" ? Shown::kHidden : Shown::kVisible;
    const std::wstring exe = VitrellExePath();
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error_ = "VITRELL.exe not found at " + Narrow(exe);
        return false;
    }
    const std::wstring folder = currentDirectory.empty() ? exe.substr(0, exe.find_last_of(L"\\/")) : currentDirectory;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine takes a child's WINEDEBUG from the environment it is given; the driver's own stays as it is.
    std::vector<wchar_t> environment;
    if (wineDebug)
        environment = EnvironmentWith(L"WINEDEBUG", wineDebug);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), folder.c_str(), &startup, &info)) {
        error_ = "CreateProcess failed, error " + std::to_string(GetLastError());
        return false;
    }
    process_.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    pid_ = info.dwProcessId;
    mainThreadId_ = info.dwThreadId;
    const bool found = WaitUntil(
        [&] {
            const auto windows = TopLevelWindowsOf(pid_, kMainWindowClass);
            main_ = windows.empty() ? nullptr : windows.front();
            if (main_ == nullptr)
                return !Alive();
            if (shown == Shown::kVisible)
                return IsWindowVisible(main_) != FALSE;
            DWORD_PTR ignored = 0;
            return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored) != 0;
        },
        timeoutMs, "VITRELL's main window to come up");
    if (!found || main_ == nullptr) {
        error_ = Alive() ? (main_ ? "the main window did not come up within the time allowed"
                                  : "no main window within the time allowed")
                         : "VITRELL.exe ended before its main window appeared, exit code " +
                               std::to_string(ExitCode().value_or(0));
        return false;
    }
    return true;
}

bool Vitrell::Close(DWORD timeoutMs) {
    if (!Alive()) {
        error_ = "VITRELL.exe was not running when asked to close";
        return false;
    }
    if (!PostMessageW(main_, WM_CLOSE, 0, 0)) {
        error_ = "WM_CLOSE could not be posted, error " + std::to_string(GetLastError());
        return false;
    }
    const bool ended = WaitUntil(
        [&] {
            if (HWND box = FindMessageBox(pid_, kExitTitle))
                (void)AnswerMessageBox(box, IDOK);  // the box may vanish between find and answer; poll again
            return !Alive();
        },
        timeoutMs, "VITRELL.exe to end after WM_CLOSE");
    if (!ended)
        error_ = "VITRELL.exe still running after WM_CLOSE";
    return ended;
}

void Vitrell::Kill() {
    if (Alive()) {
        (void)TerminateProcess(process_.get(), 97);  // the wait tells whether it worked
        (void)WaitForSignal(process_.get(), 5000, "VITRELL.exe to end when killed");
    }
}

bool Vitrell::Alive() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Vitrell::Healthy() const {
    return Alive() && IsWindow(main_);
}

std::optional<DWORD> Vitrell::ExitCode() const {
    DWORD code = 0;
    if (!process_ || !GetExitCodeProcess(process_.get(), &code) || code == STILL_ACTIVE)
        return std::nullopt;
    return code;
}

SendFromThread::SendFromThread(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    : window_(window), msg_(msg), wParam_(wParam), lParam_(lParam) {
    thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
}

SendFromThread::~SendFromThread() {
    if (thread_)
        (void)WaitForSingleObject(thread_.get(), INFINITE);  // the send's own timeout bounds the wait
}

std::optional<LRESULT> SendFromThread::Answer(DWORD timeoutMs) {
    if (!thread_ || WaitForSingleObject(thread_.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    return answer_;
}

DWORD WINAPI SendFromThread::Run(void* param) {
    auto& self = *static_cast<SendFromThread*>(param);
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(self.window_, self.msg_, self.wParam_, self.lParam_, SMTO_NORMAL, 30000, &result))
        self.answer_ = static_cast<LRESULT>(result);
    return 0;
}

std::vector<DWORD> ProcessIdsNamed(std::wstring_view exeName) {
    std::vector<DWORD> ids;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
        (void)snapshot.release();  // INVALID_HANDLE_VALUE is not ours to close
        return ids;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, std::wstring(exeName).c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

}  // namespace vitrell::e2e
