// The soak run's driver, run under Wine beside VITRELL.exe (scripts/soak.sh builds and starts it):
//   soak_driver VITRELL_EXE SECONDS PAUSE_FILE
// Starts VITRELL.exe and keeps the desktop under the cursor changing for SECONDS: every 100-300 ms a window comes
// or goes (top-level windows, windows full of child controls, per-pixel-alpha windows, windows whose thread stops
// answering for a few seconds, windows that close between two ticks, a window that keeps changing its own extended
// style), and the cursor moves from one to the next. Meanwhile it steps the level, toggles the switch, opens and
// closes the settings dialog and hides and shows the main window, and measures how long VITRELL takes to answer a
// sent message (WM_NULL) and a posted one (a help request, which comes back to the driver's MS_WINHELP window).
// At the start and the end it writes the phase into PAUSE_FILE and waits until the script, having read the memory
// of the process from /proc, removes it. Prints "key: value" lines; exits 0 when VITRELL lived through it all.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "core/product.h"

namespace {

using namespace vitrell;  // the product's constants
// Toolbar buttons 1 to 4, menu items, and the settings dialog's OK and level read-out.
constexpr int kLevelDown = kFirstToolbarCommand + 0, kLevelUp = kFirstToolbarCommand + 1,
              kSettings = kFirstToolbarCommand + 2, kToggle = kFirstToolbarCommand + 3;
constexpr int kHelpContents = kCmdHelpKeyWord1, kShow = kCmdShowHide0, kIconify = kCmdShowHide1;
constexpr int kSettingsOk = kIdCommand1 + 0, kLevelLabel = kIdLabel1 + 1;
constexpr RECT kChurnArea = {20, 120, 1000, 980};  // clear of VITRELL's window, placed top right by soak.sh
constexpr UINT kMsgSleep = WM_APP;                 // a churn window's thread stops answering for wParam ms
constexpr UINT_PTR kRepaintTimer = 1, kRestyleTimer = 2, kSleepTimer = 3;

// Each thread draws from its own generator (the churn windows' threads too).
int Random(int low, int high) {
    thread_local std::mt19937 random(20261208u ^ GetCurrentThreadId());
    return std::uniform_int_distribution<int>(low, high)(random);
}

ULONGLONG Now() {
    return GetTickCount64();
}

void Pump(DWORD ms) {
    const ULONGLONG end = Now() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (Now() < end);
}

// ---- VITRELL's windows ---------------------------------------------------------------------------------------

std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* cls) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        std::vector<HWND> found;
    } search{pid, cls, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t name[64] = L"";
            GetClassNameW(w, name, 64);
            if (pid == s->pid && (!s->cls || wcscmp(name, s->cls) == 0))
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's windows and all their children.
int CountWindows(DWORD pid) {
    int n = 0;
    for (HWND top : WindowsOf(pid, nullptr)) {
        ++n;
        EnumChildWindows(
            top,
            [](HWND, LPARAM count) -> BOOL {
                ++*reinterpret_cast<int*>(count);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&n));
    }
    return n;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied))
        return L"";
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Setting(const wchar_t* name) {
    wchar_t text[256] = L"";
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\VITRELL\\Config", name, RRF_RT_REG_SZ,
                     nullptr, text, &bytes) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

// ---- Measuring answers ---------------------------------------------------------------------------------------

struct Answers {
    std::atomic<ULONGLONG> longestSentMs{0}, longestPostedMs{0};
    std::atomic<int> sent{0}, unanswered{0}, posted{0}, postsLost{0};
    std::atomic<ULONGLONG> postedAt{0};  // when the pending help request was posted; 0 when none is pending
    std::atomic<bool> stop{false};

    static void Max(std::atomic<ULONGLONG>& into, ULONGLONG value) {
        ULONGLONG old = into;
        while (value > old && !into.compare_exchange_weak(old, value)) {
        }
    }
};
Answers g_answers;

// A WM_NULL sent every 100 ms: the time to answer a sent message (10 s counts as no answer).
DWORD WINAPI SendProbe(void* main) {
    while (!g_answers.stop) {
        const ULONGLONG start = Now();
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(static_cast<HWND>(main), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
        Answers::Max(g_answers.longestSentMs, Now() - start);
        ++g_answers.sent;
        if (!answered)
            ++g_answers.unanswered;
        Sleep(100);
    }
    return 0;
}

// The MS_WINHELP window: WinHelp in VITRELL sends it every help request, which ends a posted round trip.
LRESULT CALLBACK HelpProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        if (const ULONGLONG at = g_answers.postedAt.exchange(0))
            Answers::Max(g_answers.longestPostedMs, Now() - at);
        return TRUE;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

DWORD WINAPI HelpWindow(void* ready) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelpProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MS_WINHELP";
    RegisterClassW(&wc);
    CreateWindowW(L"MS_WINHELP", L"soak help observer", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

// ---- Churn windows -------------------------------------------------------------------------------------------

enum class Kind { TopLevel, Controls, PerPixel, Hangs, Brief, Restyles, kCount };

struct ChurnWindow {
    Kind kind;
    RECT rect;
    ULONGLONG until;
    HWND window = nullptr;
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    bool closeSent = false;
    BYTE shade = 0;
};

void PaintPerPixel(ChurnWindow& w) {
    const int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    if (HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
        w.shade = static_cast<BYTE>(w.shade + 16);
        const DWORD pixel = (DWORD{192} << 24) | (DWORD{static_cast<BYTE>(w.shade * 192 / 255)} << 8) | 192;
        std::fill_n(static_cast<DWORD*>(bits), width * height, pixel);
        HGDIOBJ old = SelectObject(mem, bitmap);
        POINT origin{0, 0};
        SIZE size{width, height};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(w.window, screen, nullptr, &size, mem, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(mem, old);
        DeleteObject(bitmap);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK ChurnProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ChurnWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (msg) {
        case kMsgSleep:
            Sleep(static_cast<DWORD>(wParam));  // the point: nothing answers meanwhile
            return 0;
        case WM_TIMER:
            if (wParam == kRepaintTimer && self)
                PaintPerPixel(*self);
            else if (wParam == kRestyleTimer)  // layered or not, a tool window or not, an edge or not
                SetWindowLongW(window, GWL_EXSTYLE,
                               GetWindowLongW(window, GWL_EXSTYLE) ^ (Random(0, 2) == 0   ? WS_EX_LAYERED
                                                                      : Random(0, 1) == 0 ? WS_EX_TOOLWINDOW
                                                                                          : WS_EX_CLIENTEDGE));
            else if (wParam == kSleepTimer)
                Sleep(Random(1000, 4000));
            return 0;
        case WM_DESTROY:
            if (self)  // the window of the thread, not one of its children
                PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

DWORD WINAPI ChurnThread(void* param) {
    auto* w = static_cast<ChurnWindow*>(param);
    const bool perPixel = w->kind == Kind::PerPixel;
    const DWORD style = perPixel ? WS_POPUP : WS_OVERLAPPEDWINDOW;
    const RECT& r = w->rect;
    w->window = CreateWindowExW(perPixel ? WS_EX_LAYERED : 0, L"VitrellSoakChurn", L"soak", style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), w);
    if (w->window) {
        if (w->kind == Kind::Controls) {
            for (int i = 0; i < 6; ++i) {
                const wchar_t* cls = i % 3 == 0 ? L"BUTTON" : i % 3 == 1 ? L"EDIT" : L"VitrellSoakChurn";
                CreateWindowExW(i % 3 == 1 ? WS_EX_CLIENTEDGE : 0, cls, L"child", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                10 + (i % 3) * 90, 10 + (i / 3) * 60, 80, 50, w->window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
            }
        }
        if (perPixel) {
            PaintPerPixel(*w);
            SetTimer(w->window, kRepaintTimer, 100, nullptr);
        }
        if (w->kind == Kind::Restyles)
            SetTimer(w->window, kRestyleTimer, 100, nullptr);
        if (w->kind == Kind::Hangs)
            SetTimer(w->window, kSleepTimer, Random(200, 1500), nullptr);
        ShowWindow(w->window, SW_SHOWNOACTIVATE);
    }
    SetEvent(w->ready);
    MSG msg;
    while (w->window && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

class Churn {
  public:
    Churn() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ChurnProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"VitrellSoakChurn";
        RegisterClassW(&wc);
    }

    // Opens one window of the kind given (or a random one) and returns it once it is up.
    ChurnWindow* Open(Kind kind, int lifetimeMs) {
        auto w = std::make_unique<ChurnWindow>();
        w->kind = kind;
        const int width = Random(200, 500), height = Random(150, 400);
        const int left = Random(kChurnArea.left, kChurnArea.right - width);
        const int top = Random(kChurnArea.top, kChurnArea.bottom - height);
        w->rect = {left, top, left + width, top + height};
        w->until = Now() + lifetimeMs;
        w->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        w->thread = CreateThread(nullptr, 0, ChurnThread, w.get(), 0, nullptr);
        if (!w->thread)
            return nullptr;
        WaitForSingleObject(w->ready, 5000);
        ++opened_;
        live_.push_back(std::move(w));
        return live_.back().get();
    }

    // One step of the churn: windows past their time close, a new one comes.
    void Step() {
        const ULONGLONG now = Now();
        for (auto& w : live_)
            if (w->window && now >= w->until && !w->closeSent)
                w->closeSent = PostMessageW(w->window, WM_CLOSE, 0, 0) != FALSE;
        Reap(false);
        if (live_.size() < 14) {
            const Kind kind = static_cast<Kind>(Random(0, static_cast<int>(Kind::kCount) - 1));
            Open(kind, kind == Kind::Brief ? Random(50, 900) : Random(800, 5000));
        }
    }

    // A point on a live window: its title bar, its client area, or one of its children; now and then bare desktop.
    POINT Target() const {
        if (live_.empty() || Random(0, 9) == 0)
            return {Random(kChurnArea.left, kChurnArea.right), Random(kChurnArea.top, kChurnArea.bottom)};
        const ChurnWindow& w = *live_[Random(0, static_cast<int>(live_.size()) - 1)];
        const int left = w.rect.left, top = w.rect.top, right = w.rect.right, bottom = w.rect.bottom;
        const int part = Random(0, 2);
        const int x = Random(left + 30, std::max(left + 30, right - 80));
        if (part == 0 && w.kind != Kind::PerPixel)
            return {x, top + 12};  // the caption
        if (part == 1 && w.kind == Kind::Controls)
            return {left + 40, top + 60};  // over a child
        return {x, Random(top + 40, std::max(top + 40, bottom - 10))};
    }

    void CloseAll() {
        for (auto& w : live_)
            if (w->window)
                PostMessageW(w->window, WM_CLOSE, 0, 0);
        const ULONGLONG deadline = Now() + 15000;
        while (!live_.empty() && Now() < deadline) {
            Reap(false);
            Sleep(20);
        }
        Reap(true);
    }

    int Opened() const { return opened_; }

  private:
    void Reap(bool force) {
        for (auto it = live_.begin(); it != live_.end();) {
            ChurnWindow& w = **it;
            if (WaitForSingleObject(w.thread, 0) == WAIT_OBJECT_0 || force) {
                if (force)
                    TerminateThread(w.thread, 0);
                CloseHandle(w.thread);
                CloseHandle(w.ready);
                it = live_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::vector<std::unique_ptr<ChurnWindow>> live_;
    int opened_ = 0;
};

// ---- The program ---------------------------------------------------------------------------------------------

struct Program {
    PROCESS_INFORMATION info{};
    HWND main = nullptr;

    bool Start(const std::wstring& exe) {
        std::wstring line = L"\"" + exe + L"\"";
        const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &info))
            return false;
        for (int i = 0; i < 1500 && !main; ++i) {
            for (HWND w : WindowsOf(info.dwProcessId, kMainWindowClass))
                if (IsWindowVisible(w))
                    main = w;
            Sleep(10);
        }
        return main != nullptr;
    }
    bool Alive() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT && IsWindow(main); }
    void Command(int id) const { PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    HWND Settings() const {
        const auto found = WindowsOf(info.dwProcessId, kSettingsDialogClass);
        return found.empty() ? nullptr : found.front();
    }
    // Answers what VITRELL asks: the range message with OK; the exit question (never asked here) with Cancel.
    int AnswerBoxes() const {
        int answered = 0;
        for (HWND box : WindowsOf(info.dwProcessId, L"#32770")) {
            const bool exitQuestion = TextOf(box) == L"終了確認";
            PostMessageW(box, WM_COMMAND, exitQuestion ? IDCANCEL : IDOK, 0);
            ++answered;
        }
        return answered;
    }
};

// Sets the cursor and reads it back: a set can be dropped while a window activates.
bool MoveCursor(POINT p) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(p.x, p.y);
        Pump(50);
        POINT now{};
        if (GetCursorPos(&now) && now.x == p.x && now.y == p.y)
            return true;
    }
    return false;
}

// The phase is written into the pause file; the script reads the memory and removes it.
void Pause(const wchar_t* file, const char* phase) {
    HANDLE f = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD n = 0;
    WriteFile(f, phase, static_cast<DWORD>(strlen(phase)), &n, nullptr);
    CloseHandle(f);
    for (int i = 0; i < 1000 && GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES; ++i)
        Pump(10);
}

// Alpha for a level, as the design gives it: (100 - level) / 100 x 255, halves to even.
int AlphaFor(double level) {
    return static_cast<int>(std::nearbyint((100.0 - std::clamp(level, 0.0, 100.0)) / 100.0 * 255.0));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: soak_driver VITRELL_EXE SECONDS PAUSE_FILE\n");
        return 2;
    }
    const ULONGLONG seconds = static_cast<ULONGLONG>(_wtoi(argv[2]));
    Program app;
    if (!app.Start(argv[1])) {
        std::printf("started: no (the main window did not come up)\n");
        return 1;
    }
    HANDLE helpReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, HelpWindow, helpReady, 0, nullptr);
    WaitForSingleObject(helpReady, 5000);
    Pump(2000);  // past start-up: the first activation and its toolbar restore
    // Once through everything the driver does, so that what is loaded once (the dialog's fonts, the images of both
    // switch states) counts as the start and not as growth.
    for (const int command : {kLevelUp, kLevelDown, kToggle, kToggle, kIconify, kShow, kHelpContents, kSettings}) {
        app.Command(command);
        Pump(300);
    }
    for (int i = 0; i < 50 && !app.Settings(); ++i)
        Pump(50);
    if (HWND dialog = app.Settings())
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    Pump(1500);
    const int windowsAtStart = CountWindows(app.info.dwProcessId);
    Pause(argv[3], "start");
    HANDLE probe = CreateThread(nullptr, 0, SendProbe, app.main, 0, nullptr);

    Churn churn;
    churn.Open(Kind::Restyles, 1 << 30);  // one window keeps changing its own style the whole run
    const ULONGLONG start = Now(), end = start + seconds * 1000;
    ULONGLONG nextChurn = start, nextCursor = start, nextAction = start + 1000, nextHelp = start + 500;
    ULONGLONG settingsUntil = 0;
    int steps = 0, toggles = 0, dialogs = 0, hides = 0, boxes = 0;
    bool hidden = false;
    while (Now() < end && app.Alive()) {
        const ULONGLONG now = Now();
        if (now >= nextChurn) {
            churn.Step();
            nextChurn = now + Random(100, 300);
        }
        if (now >= nextCursor) {
            const POINT p = churn.Target();
            SetCursorPos(p.x, p.y);  // a set dropped now and then only moves the cursor less often
            nextCursor = now + Random(150, 600);
        }
        if (now >= nextHelp) {
            // One help request at a time; one that has not come back within 10 s counts as lost.
            if (const ULONGLONG pending = g_answers.postedAt; pending == 0) {
                g_answers.postedAt = now;
                ++g_answers.posted;
                app.Command(kHelpContents);
            } else {
                Answers::Max(g_answers.longestPostedMs, now - pending);
                if (now - pending > 10000 && g_answers.postedAt.exchange(0) != 0)
                    ++g_answers.postsLost;
            }
            nextHelp = now + 1000;
        }
        if (settingsUntil && now >= settingsUntil) {
            if (HWND dialog = app.Settings()) {  // OK and the close box (Cancel) in turn
                if (dialogs % 2)
                    PostMessageW(dialog, WM_CLOSE, 0, 0);
                else
                    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kSettingsOk, BN_CLICKED), 0);
            }
            settingsUntil = 0;
        }
        if (now >= nextAction) {
            const int action = Random(0, 39);
            if (action == 39) {  // a burst of steps that runs into a limit and its range message
                const bool up = Random(0, 1) == 0;
                for (int i = 0; i < 110; ++i)
                    app.Command(up ? kLevelUp : kLevelDown);
                steps += 110;
            } else if (action < 20) {  // the level, kept mostly away from the limits
                const double level = _wtof(Setting(L"OptTou").c_str());
                const bool up = level < 30 ? Random(0, 9) > 0 : level > 70 ? Random(0, 9) == 0 : Random(0, 1) == 0;
                app.Command(up ? kLevelUp : kLevelDown);
                ++steps;
            } else if (action < 28) {
                app.Command(kToggle);
                ++toggles;
            } else if (action < 32 && !settingsUntil) {
                app.Command(kSettings);
                settingsUntil = now + Random(300, 2000);
                ++dialogs;
            } else if (action < 36) {
                app.Command(hidden ? kShow : kIconify);
                hidden = !hidden;
                ++hides;
            }
            nextAction = now + Random(300, 1500);
        }
        boxes += app.AnswerBoxes() > 0;
        Pump(20);
    }
    const ULONGLONG ran = Now() - start;

    // Quiet again: no churn, no dialog, no box, the window shown; then what is left is what grew.
    churn.CloseAll();
    if (HWND dialog = app.Settings())
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    for (int i = 0; i < 20; ++i) {
        app.AnswerBoxes();
        Pump(100);
    }
    if (hidden)
        app.Command(kShow);
    Pump(2000);
    g_answers.stop = true;
    WaitForSingleObject(probe, 15000);
    DWORD_PTR result = 0;
    const bool alive = app.Alive();
    const bool answering = alive && SendMessageTimeoutW(app.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    const int windowsAtEnd = alive ? CountWindows(app.info.dwProcessId) : 0;
    if (alive)
        Pause(argv[3], "end");

    std::printf("time run: %llu s\n", ran / 1000);
    std::printf("windows churned: %d\n", churn.Opened());
    std::printf(
        "driver actions: %d level steps, %d toggles, %d settings dialogs, %d hides and shows, %d boxes "
        "answered\n",
        steps, toggles, dialogs, hides, boxes);
    std::printf("alive at the end: %s\n", alive ? "yes" : "NO");
    std::printf("answering at the end: %s\n", answering ? "yes" : "NO");
    std::printf("sent messages (WM_NULL): %d, unanswered within 10 s: %d, longest answer: %llu ms\n",
                g_answers.sent.load(), g_answers.unanswered.load(), g_answers.longestSentMs.load());
    std::printf("posted messages (help requests): %d, lost: %d, longest round trip: %llu ms\n", g_answers.posted.load(),
                g_answers.postsLost.load(), g_answers.longestPostedMs.load());
    std::printf("windows of VITRELL at start: %d, at end: %d\n", windowsAtStart, windowsAtEnd);
    if (!alive) {
        DWORD code = 0;
        GetExitCodeProcess(app.info.hProcess, &code);
        std::printf("VITRELL ended by itself, exit code 0x%lx\n", code);
        return 1;
    }

    // What the store holds against what the program shows: the level in the settings dialog's read-out, and level
    // and switch in what the engine does to a fresh window under the cursor.
    const std::wstring storedLevel = Setting(L"OptTou"), storedSwitch = Setting(L"OptOn_Off");
    app.Command(kSettings);
    std::wstring shownLevel = L"<no dialog>";
    for (int i = 0; i < 100; ++i) {
        Pump(50);
        if (HWND dialog = app.Settings(); dialog && IsWindowVisible(dialog)) {
            shownLevel = TextOf(GetDlgItem(dialog, kLevelLabel));
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            break;
        }
    }
    ChurnWindow* target = churn.Open(Kind::TopLevel, 1 << 30);
    MoveCursor({target->rect.left + 60, target->rect.top + 12});
    BYTE alpha = 0;
    COLORREF key = 0;
    DWORD flags = 0;
    bool layered = false;
    for (int i = 0; i < 60 && !layered; ++i) {  // three tracking periods
        Pump(50);
        layered = (GetWindowLongW(target->window, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                  GetLayeredWindowAttributes(target->window, &key, &alpha, &flags);
    }
    const bool on = storedSwitch != L"0";
    const int wantAlpha = AlphaFor(_wtof(storedLevel.c_str()));
    const bool levelAgrees = shownLevel == storedLevel && (!on || (layered && alpha == wantAlpha));
    const bool switchAgrees = on == layered;
    std::printf("stored level %s, shown %s%s: %s\n", Narrow(storedLevel).c_str(), Narrow(shownLevel).c_str(),
                layered ? (", engine alpha " + std::to_string(alpha)).c_str() : "", levelAgrees ? "agree" : "DIFFER");
    std::printf("stored switch %s, engine %s: %s\n", Narrow(storedSwitch).c_str(), layered ? "on" : "off",
                switchAgrees ? "agree" : "DIFFER");
    churn.CloseAll();

    // And it still ends as it should: the question, OK, gone.
    PostMessageW(app.main, WM_CLOSE, 0, 0);
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
        for (HWND box : WindowsOf(app.info.dwProcessId, L"#32770"))
            if (TextOf(box) == L"終了確認")
                PostMessageW(box, WM_COMMAND, IDOK, 0);
        Pump(50);
        ended = WaitForSingleObject(app.info.hProcess, 0) == WAIT_OBJECT_0;
    }
    std::printf("ended through the exit question: %s\n", ended ? "yes" : "NO");
    return answering && levelAgrees && switchAgrees && ended && g_answers.unanswered == 0 ? 0 : 1;
}
