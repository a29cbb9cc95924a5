// A window of another process whose only thread can be put to sleep: what a hung program looks like from
// outside. usage: vitrell_e2e_sleeper.exe LEFT TOP RIGHT BOTTOM
// A posted WM_APP with wParam = milliseconds makes the thread sleep that long inside its message loop.
#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kClass[] = L"VitrellE2ESleeper";

LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_APP:
            Sleep(static_cast<DWORD>(wParam));  // the whole point: nothing answers meanwhile
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    long r[4] = {100, 100, 500, 400};
    wchar_t* at = commandLine;
    for (long& v : r) {
        wchar_t* end = nullptr;
        const long n = std::wcstol(at, &end, 10);
        if (end == at)
            break;
        v = n;
        at = end;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassExW(&wc))
        return 1;
    HWND window = CreateWindowExW(0, kClass, L"VITRELL e2e sleeper", WS_OVERLAPPEDWINDOW, r[0], r[1], r[2] - r[0],
                                  r[3] - r[1], nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
