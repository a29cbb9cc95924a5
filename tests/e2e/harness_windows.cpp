// The harness (tests/e2e/harness.h): the driver's own windows, each on a thread of its own.
#include "tests/e2e/harness.h"

#include <cstring>

#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

namespace {

constexpr wchar_t kTargetClass[] = L"VitrellE2ETarget";
constexpr wchar_t kHelpClass[] = L"MS_WINHELP";
constexpr int kTargetButtonId = 100;
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

}  // namespace

// ---- Windows of the driver -----------------------------------------------------------------------------------

bool WindowThread::Launch() {
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_)
        return false;
    thread_.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_));
    if (!thread_ || !WaitForSignal(ready_.get(), 10000, "a window thread of the driver to make its window"))
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
    (void)WaitForSignal(thread_.get(), 5000, "a window thread of the driver to end");  // one that hangs is left
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
            10000, "the sleeper's window to come up"))
        ADD_FAILURE() << "the sleeper's window did not come up";
}

SleeperProcess::~SleeperProcess() {
    if (process_) {
        (void)TerminateProcess(process_.get(), 0);  // the wait tells whether it ended
        (void)WaitForSignal(process_.get(), 5000, "the sleeper to end");
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

// ---- The HTML Help viewer ----------------------------------------------------------------------------------------

std::vector<std::string> HtmlHelpCalls(const Vitrell& app) {
    const std::string trace = app.TraceSinceStart().value_or("");
    std::vector<std::string> calls;
    for (size_t at = 0; (at = trace.find(":htmlhelp:", at)) != std::string::npos; ++at) {
        const std::string line = trace.substr(at, trace.find('\n', at) - at);
        const size_t command = line.find("command="), page = line.find("::/");
        if (line.rfind(":htmlhelp:HtmlHelpW ", 0) == 0 && command != std::string::npos)
            calls.push_back(line.substr(command + 8, line.find(',', command) - command - 8));
        else if (line.rfind(":htmlhelp:navigate_url ", 0) == 0 && page != std::string::npos && !calls.empty() &&
                 calls.back().find(' ') == std::string::npos)
            calls.back() += ' ' + line.substr(page + 3, line.find('"', page) - page - 3);
    }
    return calls;
}

std::string ViewerOfCall(const Vitrell& app, size_t count) {
    std::vector<std::string> calls;
    HWND viewer = nullptr;
    (void)WaitUntil(
        [&] {
            calls = HtmlHelpCalls(app);
            for (HWND window : TopLevelWindowsOf(app.Pid(), L"HH Parent"))
                viewer = IsWindowVisible(window) ? window : viewer;
            return viewer && calls.size() >= count && calls[count - 1].find(' ') != std::string::npos;
        },
        5000, "the HTML Help viewer to load a page");
    const std::string call = calls.size() >= count ? calls[count - 1] : std::string();
    if (!viewer) {
        ADD_FAILURE() << "no HTML Help viewer shows";
        return call;
    }
    // The .chm holds its title in code page 932; Wine shows it as the system's code page reads those bytes.
    const std::wstring title = ControlText(viewer);
    char bytes[64] = {};
    wchar_t asRead[64] = {};
    (void)MultiByteToWideChar(
        CP_ACP, 0, bytes, WideCharToMultiByte(932, 0, L"VITRELL ヘルプ", -1, bytes, 64, nullptr, nullptr), asRead, 64);
    EXPECT_TRUE(title == L"VITRELL ヘルプ" || title == asRead) << "viewer titled " << Narrow(title);
    if (HWND box = FindMessageBox(app.Pid()))
        ADD_FAILURE() << "a message box: " << Narrow(MessageBoxText(box));
    (void)PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }, 3000, "the HTML Help viewer to close"));
    return call;
}

}  // namespace vitrell::e2e
