// The harness (tests/e2e/harness.h): looking at other windows, message boxes, the toolbar and the tray icon.
#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/handles.h"
#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr int kMessageTextId = 0xFFFF;

}  // namespace

// ---- Looking at other windows --------------------------------------------------------------------------------

bool MoveCursor(POINT p) {
    // Under Wine, GetCursorPos answers with the wineserver's position for 100 ms after that last changed, and with
    // the X pointer's after that. Another process of the desktop that handles an old X crossing event late (the
    // desktop's own, on a busy machine) puts the server's position back where the pointer was then and leaves the X
    // pointer alone; and a set to where the server already holds the cursor moves nothing, not even the X pointer.
    // So each set comes from the neighbouring pixel, which moves both, and the cursor has arrived only when every
    // reading has said `p` for longer than those 100 ms: a reading elsewhere sets it again.
    constexpr DWORD kRestMs = 200;
    constexpr DWORD kSetAgainMs = 100;  // a set can lag that long while a window activates
    ULONGLONG setAt = 0;
    ULONGLONG restingSince = 0;
    const auto set = [&] {
        (void)SetCursorPos(p.x > 0 ? p.x - 1 : p.x + 1, p.y);  // the readings decide
        (void)SetCursorPos(p.x, p.y);
        setAt = GetTickCount64();
    };
    set();
    const std::string what = "the cursor to rest on " + std::to_string(p.x) + "," + std::to_string(p.y);
    return WaitUntil(
        [&] {
            const ULONGLONG now = GetTickCount64();
            const POINT at = CursorPos();
            if (at.x != p.x || at.y != p.y) {
                if (now - setAt >= kSetAgainMs)
                    set();
                restingSince = 0;
                return false;
            }
            if (restingSince == 0)
                restingSince = now;
            return now - restingSince >= kRestMs;
        },
        5000, what.c_str());
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
    const std::string what = title.empty() ? "a message box" : "the message box \"" + Narrow(title) + "\"";
    (void)WaitUntil([&] { return (box = FindMessageBox(pid, title)) != nullptr; }, timeoutMs, what.c_str());
    return box;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, kMessageTextId);
    return text ? ControlText(text) : std::wstring();
}

bool AnswerMessageBox(HWND box, int id) {
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
}

HWND ChildOf(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
}

Dpi ScreenDpi() {
    const WindowDc screen(nullptr);
    const int x = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int y = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return Dpi{x > 0 ? x : 96, y > 0 ? y : 96};
}

RectTwips WindowTwips(HWND window) {
    RECT r{};
    (void)GetWindowRect(window, &r);  // a gone window measures nothing
    return ToTwips(PixelRect{r.left, r.top, r.right, r.bottom}, ScreenDpi());
}

COLORREF ScreenPixel(POINT p) {
    const WindowDc screen(nullptr);
    return screen ? GetPixel(screen.get(), p.x, p.y) : CLR_INVALID;
}

std::vector<COLORREF> ScreenPixels(const RECT& r) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return {};
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            const auto* bgra = static_cast<const BYTE*>(bits);
            pixels.resize(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<HWND> SettingsDialogsOf(const Vitrell& app) {
    return TopLevelWindowsOf(app.Pid(), kSettingsDialogClass);
}

HWND WaitForSettingsDialog(const Vitrell& app, DWORD timeoutMs) {
    HWND dialog = nullptr;
    (void)WaitUntil(
        [&] {
            for (HWND d : SettingsDialogsOf(app)) {
                if (IsWindowVisible(d))
                    dialog = d;
            }
            return dialog != nullptr;
        },
        timeoutMs, "the settings dialog to show");
    return dialog;
}

bool WaitForNoSettingsDialog(const Vitrell& app, DWORD timeoutMs) {
    return WaitUntil([&] { return SettingsDialogsOf(app).empty(); }, timeoutMs, "no settings dialog to be left");
}

bool CloseSettingsDialogs(const Vitrell& app, DWORD timeoutMs) {
    for (HWND dialog : SettingsDialogsOf(app))
        (void)PostMessageW(dialog, WM_CLOSE, 0, 0);  // the wait below tells
    return WaitForNoSettingsDialog(app, timeoutMs);
}

HWND WaitForCustomizeDialog(const Vitrell& app, DWORD timeoutMs) {
    HWND customize = nullptr;
    (void)WaitUntil(
        [&] {
            for (HWND box : TopLevelWindowsOf(app.Pid(), kDialogClass)) {
                if (GetWindow(box, GW_OWNER) == app.MainWindow() && GetDlgItem(box, 204))
                    customize = box;
            }
            return customize != nullptr;
        },
        timeoutMs, "the toolbar's customise dialog");
    return customize;
}

int VisiblePopupMenus(DWORD pid) {
    int n = 0;
    for (HWND menu : TopLevelWindowsOf(pid, kMenuClass))
        n += IsWindowVisible(menu) ? 1 : 0;
    return n;
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

}  // namespace vitrell::e2e
