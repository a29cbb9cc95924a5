// The yardstick for VITRELL's idle cost: only what a resident program of its kind cannot do without, built
// the same way. A 1 s timer makes the engine's calls on the window under the cursor, a 50 ms timer polls the
// two arrow keys; nothing else.
#include <windows.h>

namespace {

constexpr UINT_PTR kTrackTimer = 1;
constexpr UINT_PTR kKeyTimer = 2;
int g_level = 20;  // what the arrow keys would step

// The engine's calls, in its order: a child control is left alone, a per-pixel window too, and a window whose
// style still lacks the layered bit is asked first whether it answers.
void Track() {
    POINT p{};
    if (!GetCursorPos(&p))
        return;
    HWND target = WindowFromPoint(p);
    if (!target || (GetWindowLongW(target, GWL_STYLE) & WS_CHILD))
        return;
    const LONG exStyle = GetWindowLongW(target, GWL_EXSTYLE);
    if (exStyle & WS_EX_LAYERED) {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (!GetLayeredWindowAttributes(target, &key, &alpha, &flags))
            return;
    } else {
        DWORD_PTR result = 0;
        if (GetWindowThreadProcessId(target, nullptr) != GetCurrentThreadId() &&
            !SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result))
            return;
        SetWindowLongW(target, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    }
    SetLayeredWindowAttributes(target, 0, static_cast<BYTE>((100 - g_level) * 255 / 100), LWA_ALPHA);
}

void PollKeys() {
    if (GetKeyState(VK_UP) & 0x8000)
        ++g_level;
    if (GetKeyState(VK_DOWN) & 0x8000)
        --g_level;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kTrackTimer)
                Track();
            else
                PollKeys();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"IdleBare";
    if (!RegisterClassExW(&wc))
        return 1;
    HWND window = CreateWindowExW(0, L"IdleBare", L"idle bare", WS_CAPTION | WS_SYSMENU, 900, 40, 200, 80, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kTrackTimer, 1000, nullptr);
    SetTimer(window, kKeyTimer, 50, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
