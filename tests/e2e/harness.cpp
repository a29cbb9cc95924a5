#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <sddl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/win32/handles.h"

namespace vitrell::e2e {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kTargetClass[] = L"VitrellE2ETarget";
constexpr wchar_t kHelpClass[] = L"MS_WINHELP";
constexpr int kMessageTextId = 0xFFFF;
constexpr int kTargetButtonId = 100;
constexpr DWORD kSendTimeoutMs = 2000;
// Wine's WinHelp tags its WM_COPYDATA with this number and sends this record.
constexpr ULONG_PTR kWinHelpMagic = 0xA1DE505;
#pragma pack(push, 1)
struct WinHelpRecord {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};
#pragma pack(pop)

UniqueRegKey OpenKey(std::wstring_view path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, std::wstring(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

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

bool SendInputs(INPUT* inputs, UINT count) {
    return SendInput(count, inputs, sizeof(INPUT)) == count;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
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

// ---- Registry ------------------------------------------------------------------------------------------------

bool DeleteKeyTree(std::wstring_view path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(path).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return false;
    // RegDeleteTree leaves the key itself on some systems.
    const LSTATUS last = RegDeleteKeyW(HKEY_CURRENT_USER, std::wstring(path).c_str());
    return last == ERROR_SUCCESS || last == ERROR_FILE_NOT_FOUND;
}

bool PutValueAt(std::wstring_view path, std::wstring_view name, DWORD type, const void* data, DWORD bytes) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, std::wstring(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes) ==
           ERROR_SUCCESS;
}

bool PutStringAt(std::wstring_view path, std::wstring_view name, std::wstring_view text, DWORD type) {
    const std::wstring copy(text);
    return PutValueAt(path, name, type, copy.c_str(), static_cast<DWORD>((copy.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> GetStringAt(std::wstring_view path, std::wstring_view name) {
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    if (!key)
        return std::nullopt;
    const std::wstring valueName(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // One character more than stored: a value written without its terminator still ends.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(buffer.data());
}

std::optional<DWORD> GetTypeAt(std::wstring_view path, std::wstring_view name) {
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    DWORD type = 0;
    if (!key ||
        RegQueryValueExW(key.get(), std::wstring(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::vector<std::wstring> ValueNamesAt(std::wstring_view path) {
    std::vector<std::wstring> names;
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    if (!key)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool SetKeyReadOnly(std::wstring_view path, bool readOnly) {
    // Everyone: read only, or everything; protected, so nothing inherited widens it.
    const wchar_t* sddl = readOnly ? L"D:P(A;OICI;KR;;;WD)" : L"D:P(A;OICI;KA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const UniqueRegKey key = OpenKey(path, WRITE_DAC);
    const bool ok = key && RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    (void)LocalFree(descriptor);  // a leak of a few bytes at worst
    return ok;
}

std::wstring SectionPath(std::wstring_view section) {
    std::wstring path(kSettingsKey);
    path += L'\\';
    path += section;
    return path;
}

void DeleteSettings() {
    // The owner may always change the access list, so a read-only part can be opened up again first.
    for (const std::wstring& path : {std::wstring(kSettingsKey), SectionPath(L"Config"), SectionPath(L"Position")})
        (void)SetKeyReadOnly(path, false);  // missing keys fail here, and need nothing
    // The settings key is left empty by a test that never started the program; both are fine.
    ASSERT_TRUE(DeleteKeyTree(kSettingsKey)) << "could not delete the settings key";
}

bool PutString(std::wstring_view section, std::wstring_view name, std::wstring_view text) {
    return PutStringAt(SectionPath(section), name, text);
}

bool PutDword(std::wstring_view section, std::wstring_view name, DWORD value) {
    return PutValueAt(SectionPath(section), name, REG_DWORD, &value, sizeof(value));
}

bool PutBinary(std::wstring_view section, std::wstring_view name, const std::vector<BYTE>& bytes) {
    return PutValueAt(SectionPath(section), name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::optional<std::wstring> GetString(std::wstring_view section, std::wstring_view name) {
    return GetStringAt(SectionPath(section), name);
}

std::vector<std::wstring> ValueNames(std::wstring_view section) {
    return ValueNamesAt(SectionPath(section));
}

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
        (void)WaitForSingleObject(process.get(), 5000);
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
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr))
            break;  // the child closed its end
        if (available > 0) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!ReadFile(readEnd.get(), chunk.data(), available, &got, nullptr))
                break;
            out.append(chunk.data(), got);
            continue;
        }
        if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0) {
            // Drain what it wrote just before it ended.
            while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
                std::string chunk(available, '\0');
                DWORD got = 0;
                if (!ReadFile(readEnd.get(), chunk.data(), available, &got, nullptr))
                    break;
                out.append(chunk.data(), got);
            }
            break;
        }
        if (GetTickCount64() >= deadline) {
            (void)TerminateProcess(process.get(), 98);  // a hung probe: the nullopt below reports it
            return std::nullopt;
        }
    }
    if (WaitForSingleObject(process.get(), 2000) != WAIT_OBJECT_0)
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
    return Launch(timeoutMs, shown, nullptr, currentDirectory);
}

bool Vitrell::StartTracingRegistry(DWORD timeoutMs, Shown shown) {
    const std::wstring log = StderrLogPath();
    if (!log.empty())
        traceOffset_ = FileSize(log);
    return Launch(timeoutMs, shown, L"-all,trace+reg");
}

std::optional<std::vector<std::wstring>> Vitrell::RegistryWrites() const {
    const std::wstring log = StderrLogPath();
    if (log.empty() || !traceOffset_)
        return std::nullopt;
    const std::optional<std::string> text = ReadFileFrom(log, *traceOffset_);
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
        timeoutMs);
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
        timeoutMs);
    if (!ended)
        error_ = "VITRELL.exe still running after WM_CLOSE";
    return ended;
}

void Vitrell::Kill() {
    if (Alive()) {
        (void)TerminateProcess(process_.get(), 97);  // the wait tells whether it worked
        (void)WaitForSingleObject(process_.get(), 5000);
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

// ---- Windows of the driver -----------------------------------------------------------------------------------

bool WindowThread::Launch() {
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_)
        return false;
    thread_.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_));
    if (!thread_ || WaitForSingleObject(ready_.get(), 10000) != WAIT_OBJECT_0)
        return false;
    return window_ != nullptr;
}

void WindowThread::Stop() {
    if (!thread_)
        return;
    const BlockingCall call("stopping a window thread of the driver");
    if (window_)
        (void)PostMessageW(window_, WM_CLOSE, 0, 0);  // DefWindowProc destroys it; WM_DESTROY ends the loop
    else
        (void)PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    (void)WaitForSingleObject(thread_.get(), 5000);  // a thread that hangs is left; the process ends soon
    thread_.reset();
}

DWORD WINAPI WindowThread::ThreadMain(void* param) {
    auto& self = *static_cast<WindowThread*>(param);
    self.window_ = self.Create();
    const bool created = self.window_ != nullptr;
    SetEvent(self.ready_.get());
    if (!created)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

namespace {
// Registers a class of the driver once; a second registration fails harmlessly and CreateWindow tells.
void RegisterDriverClass(const wchar_t* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    (void)RegisterClassExW(&wc);
}

LRESULT CALLBACK TargetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}
}  // namespace

TargetWindow::TargetWindow(RECT screenRect, bool withButton, std::wstring title)
    : rect_(screenRect), withButton_(withButton), title_(std::move(title)) {
    if (!Launch())
        ADD_FAILURE() << "the target window was not created";
}

HWND TargetWindow::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterDriverClass(kTargetClass, TargetProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    const RECT& r = rect_;
    HWND window = CreateWindowExW(0, kTargetClass, title_.c_str(), WS_OVERLAPPEDWINDOW, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    if (withButton_) {
        button_ =
            CreateWindowExW(0, L"BUTTON", L"button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 120, 40, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTargetButtonId)), instance, nullptr);
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
}

POINT TargetWindow::TitleBarPoint() const {
    return TitleBarPointOf(Window());
}

POINT TargetWindow::ClientPoint() const {
    RECT client{};
    GetClientRect(Window(), &client);
    // Lower right quarter: the button sits at the top left.
    POINT p{client.right * 3 / 4, client.bottom * 3 / 4};
    ClientToScreen(Window(), &p);
    return p;
}

POINT TargetWindow::ButtonPoint() const {
    RECT r{};
    GetWindowRect(button_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// ---- A window that paints itself --------------------------------------------------------------------------------

namespace {
constexpr wchar_t kPerPixelClass[] = L"VitrellE2EPerPixel";
constexpr UINT_PTR kRepaintTimer = 1;
}  // namespace

PerPixelWindow::PerPixelWindow(RECT screenRect) : rect_(screenRect) {
    if (!Launch())
        ADD_FAILURE() << "the per-pixel window was not created";
}

LRESULT CALLBACK PerPixelWindow::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PerPixelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_TIMER && self) {
        self->Update(window);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

// Paints the whole window in a new shade of blue, 80 % opaque pixel by pixel, through UpdateLayeredWindow.
void PerPixelWindow::Update(HWND window) {
    const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        shade_ = static_cast<BYTE>(shade_ + 16);
        const BYTE alpha = 204;
        // Premultiplied BGRA.
        const DWORD pixel = (DWORD{alpha} << 24) | (DWORD{static_cast<BYTE>(shade_ * alpha / 255)} << 8) |
                            DWORD{static_cast<BYTE>(alpha)};
        auto* p = static_cast<DWORD*>(bits);
        for (int i = 0; i < w * h; ++i)
            p[i] = pixel;
        HGDIOBJ old = SelectObject(mem, bitmap);
        POINT origin{0, 0};
        SIZE size{w, h};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ok = UpdateLayeredWindow(window, screen, nullptr, &size, mem, &origin, 0, &blend, ULW_ALPHA) != FALSE;
        SelectObject(mem, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    InterlockedIncrement(ok ? &updates_ : &failed_);
}

HWND PerPixelWindow::Create() {
    RegisterDriverClass(kPerPixelClass, Proc, nullptr);
    const RECT& r = rect_;
    HWND window =
        CreateWindowExW(WS_EX_LAYERED, kPerPixelClass, L"VITRELL e2e per-pixel", WS_POPUP, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window)
        return nullptr;
    Update(window);  // a per-pixel window shows only once it has painted itself
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kRepaintTimer, 100, nullptr);
    return window;
}

// ---- A program that stops answering ------------------------------------------------------------------------------

SleeperProcess::SleeperProcess(RECT r) {
    const std::wstring exe = DriverFolder() + L"\\vitrell_e2e_sleeper.exe";
    std::wstring commandLine = L"\"" + exe + L"\" " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                               std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        ADD_FAILURE() << "could not start " << Narrow(exe) << ", error " << GetLastError();
        return;
    }
    process_.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    pid_ = info.dwProcessId;
    if (!WaitUntil(
            [&] {
                const auto windows = TopLevelWindowsOf(pid_, L"VitrellE2ESleeper");
                window_ = windows.empty() ? nullptr : windows.front();
                return window_ != nullptr && IsWindowVisible(window_);
            },
            10000))
        ADD_FAILURE() << "the sleeper's window did not come up";
}

SleeperProcess::~SleeperProcess() {
    if (process_) {
        (void)TerminateProcess(process_.get(), 0);  // the wait tells whether it ended
        (void)WaitForSingleObject(process_.get(), 5000);
    }
}

bool SleeperProcess::Sleep(DWORD ms) {
    return window_ && PostMessageW(window_, WM_APP, ms, 0);
}

// ---- Help observer -------------------------------------------------------------------------------------------

HelpObserver::HelpObserver() {
    InitializeCriticalSection(&lock_);
    if (!Launch())
        ADD_FAILURE() << "the MS_WINHELP observer window was not created";
}

HelpObserver::~HelpObserver() {
    Stop();  // no request may arrive once the lock is gone
    DeleteCriticalSection(&lock_);
}

std::vector<HelpObserver::Request> HelpObserver::Requests() const {
    EnterCriticalSection(&lock_);
    std::vector<Request> copy = requests_;
    LeaveCriticalSection(&lock_);
    return copy;
}

LRESULT CALLBACK HelpObserver::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HelpObserver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_COPYDATA && self) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData != kWinHelpMagic || copy->cbData < sizeof(WinHelpRecord) || !copy->lpData)
            return FALSE;
        const auto* bytes = static_cast<const char*>(copy->lpData);
        WinHelpRecord record;
        std::memcpy(&record, bytes, sizeof(record));
        // Texts inside the record, bounded by its size: a short record must not be read past its end.
        auto textAt = [&](WORD offset) {
            if (offset == 0 || offset >= copy->cbData)
                return std::string();
            return std::string(bytes + offset, strnlen(bytes + offset, copy->cbData - offset));
        };
        Request request;
        request.command = record.command;
        request.data = record.data;
        request.file = textAt(record.ofsFilename);
        if (record.command == HELP_KEY || record.command == HELP_PARTIALKEY || record.command == HELP_COMMAND)
            request.keyword = textAt(record.ofsData);
        EnterCriticalSection(&self->lock_);
        self->requests_.push_back(std::move(request));
        LeaveCriticalSection(&self->lock_);
        return TRUE;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND HelpObserver::Create() {
    RegisterDriverClass(kHelpClass, Proc, nullptr);
    // Top level and hidden: FindWindow finds it, nobody sees it.
    return CreateWindowExW(0, kHelpClass, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                           this);
}

// ---- Looking at other windows --------------------------------------------------------------------------------

bool MoveCursor(POINT p) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        (void)SetCursorPos(p.x, p.y);  // the read-back decides
        if (WaitUntil(
                [&] {
                    const POINT now = CursorPos();
                    return now.x == p.x && now.y == p.y;
                },
                150))
            return true;
    }
    return false;
}

POINT CursorPos() {
    POINT p{-1, -1};
    (void)GetCursorPos(&p);  // (-1, -1) then never matches a wanted point
    return p;
}

POINT TitleBarPointOf(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    // A third of the way across: clear of the icon on the left and the caption buttons on the right.
    return {outer.left + (outer.right - outer.left) / 3, (outer.top + clientOrigin.y) / 2};
}

LONG ExStyleOf(HWND window) {
    return GetWindowLongW(window, GWL_EXSTYLE);
}

bool IsLayered(HWND window) {
    return (ExStyleOf(window) & WS_EX_LAYERED) != 0;
}

std::optional<BYTE> AlphaOf(HWND window) {
    if (!IsLayered(window))
        return std::nullopt;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || !(flags & LWA_ALPHA))
        return std::nullopt;
    return alpha;
}

std::string AlphaText(HWND window) {
    if (!IsWindow(window))
        return "no such window";
    if (!IsLayered(window))
        return "not layered";
    const auto alpha = AlphaOf(window);
    return alpha ? "layered, alpha " + std::to_string(*alpha) : "layered, no alpha set";
}

std::wstring ControlText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return std::wstring();
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return std::wstring();
    return std::wstring(buffer.data());
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, n > 0 ? n : 0);
}

std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

HWND FindMessageBox(DWORD pid, std::wstring_view title) {
    for (HWND box : TopLevelWindowsOf(pid, kDialogClass)) {
        if (title.empty() || ControlText(box) == title)
            return box;
    }
    return nullptr;
}

HWND WaitForMessageBox(DWORD pid, std::wstring_view title, DWORD timeoutMs) {
    HWND box = nullptr;
    (void)WaitUntil([&] { return (box = FindMessageBox(pid, title)) != nullptr; }, timeoutMs);
    return box;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, kMessageTextId);
    return text ? ControlText(text) : std::wstring();
}

bool AnswerMessageBox(HWND box, int id) {
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
}

std::optional<RECT> ToolbarButtonRect(HANDLE process, HWND toolbar, int index) {
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return std::nullopt;
    std::optional<RECT> out;
    DWORD_PTR ok = 0;
    if (SendMessageTimeoutW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                            kSendTimeoutMs, &ok) &&
        ok) {
        RECT r{};
        SIZE_T got = 0;
        if (ReadProcessMemory(process, remote, &r, sizeof(r), &got) && got == sizeof(r)) {
            MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
            out = r;
        }
    }
    (void)VirtualFreeEx(process, remote, 0, MEM_RELEASE);  // the program ends with the test anyway
    return out;
}

int ToolbarButtonCount(HWND toolbar) {
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(toolbar, TB_BUTTONCOUNT, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &n))
        return -1;
    return static_cast<int>(n);
}

POINT CentreOf(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// ---- Real input ----------------------------------------------------------------------------------------------

namespace {
bool ClicksAt(POINT p, bool right, int clicks) {
    if (!MoveCursor(p))
        return false;
    // The click carries its own position: without one it can land where the cursor was a moment before,
    // since the new place reaches the input queue later than GetCursorPos reports it (seen under load).
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[4] = {};
    for (int i = 0; i < 2 * clicks; ++i) {
        INPUT& in = inputs[i];
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65535, w);
        in.mi.dy = MulDiv(p.y, 65535, h);
        const bool down = i % 2 == 0;
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                        (right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                               : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
    }
    return SendInputs(inputs, static_cast<UINT>(2 * clicks));
}
}  // namespace

bool ClickAt(POINT p, bool right) {
    return ClicksAt(p, right, 1);
}

bool DoubleClickAt(POINT p) {
    return ClicksAt(p, false, 2);
}

bool KeyDown(WORD vk) {
    INPUT in = KeyInput(vk, false);
    return SendInputs(&in, 1);
}

bool KeyUp(WORD vk) {
    INPUT in = KeyInput(vk, true);
    return SendInputs(&in, 1);
}

bool PressKey(WORD vk) {
    INPUT inputs[2] = {KeyInput(vk, false), KeyInput(vk, true)};
    return SendInputs(inputs, 2);
}

namespace {

// Wine turns Shell_NotifyIcon into a send to the shell's tray window that has no time limit; the probe runs on a
// thread of its own so that a shell that does not answer fails the test instead of stalling it.
constexpr DWORD kTrayProbeLimitMs = 5000;

struct TrayProbe {
    NOTIFYICONDATAW data{};
    volatile LONG answer = -1;  // -1 until the call returns, then 0 or 1
};

DWORD WINAPI RunTrayProbe(void* param) {
    auto* probe = static_cast<TrayProbe*>(param);
    const BOOL exists = Shell_NotifyIconW(NIM_MODIFY, &probe->data);
    InterlockedExchange(&probe->answer, exists ? 1 : 0);
    return 0;
}

bool g_trayStalled = false;  // once the shell stops answering, no further probe is started

}  // namespace

bool TrayIconExists(HWND window, UINT id) {
    if (g_trayStalled) {
        ADD_FAILURE() << "Shell_NotifyIconW(NIM_MODIFY): the shell stopped answering earlier in this test";
        return false;
    }
    // Left to itself when it stalls: the thread may outlive the probe, so it owns the record.
    auto* probe = new TrayProbe;
    probe->data.cbSize = sizeof(probe->data);
    probe->data.hWnd = window;
    probe->data.uID = id;
    probe->data.uFlags = 0;
    UniqueHandle thread(CreateThread(nullptr, 0, RunTrayProbe, probe, 0, nullptr));
    if (!thread) {
        delete probe;
        ADD_FAILURE() << "no thread for the tray probe, error " << GetLastError();
        return false;
    }
    const BlockingCall call("Shell_NotifyIconW(NIM_MODIFY) on a probe thread");
    if (WaitForSingleObject(thread.get(), kTrayProbeLimitMs) != WAIT_OBJECT_0) {
        g_trayStalled = true;
        ADD_FAILURE() << "Shell_NotifyIconW(NIM_MODIFY) did not return within " << kTrayProbeLimitMs
                      << " ms: the shell's tray window does not answer";
        return false;  // the record is the stalled thread's now
    }
    const bool exists = probe->answer == 1;
    delete probe;
    return exists;
}

LRESULT SendBounded(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, const char* what) {
    const BlockingCall call(what);
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (!SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) {
        const DWORD error = GetLastError();
        if (error == ERROR_TIMEOUT || error == ERROR_SUCCESS)
            ADD_FAILURE() << what << " to a window of class " << Narrow(ClassNameOf(window))
                          << " did not return within " << kSendTimeoutMs << " ms";
        return 0;
    }
    return static_cast<LRESULT>(result);
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
