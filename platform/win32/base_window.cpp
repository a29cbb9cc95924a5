#include "platform/win32/base_window.h"

namespace vitrell {

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& wc, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, wc.name, &existing))
        return true;
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hIcon = wc.icon;
    c.hIconSm = wc.smallIcon;
    c.hCursor = wc.cursor ? wc.cursor : LoadCursorW(nullptr, IDC_ARROW);  // a shared cursor: never destroyed
    c.hbrBackground = wc.background;
    c.lpszClassName = wc.name;
    return RegisterClassExW(&c) != 0;
}

HWND CreateCentred(HINSTANCE instance,
                   DWORD exStyle,
                   const wchar_t* className,
                   const wchar_t* caption,
                   DWORD style,
                   SIZE clientPixels,
                   HWND owner,
                   void* object) {
    RECT r{0, 0, clientPixels.cx, clientPixels.cy};
    if (!AdjustWindowRectEx(&r, style, FALSE, exStyle))
        return nullptr;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    return CreateWindowExW(exStyle, className, caption, style, x, y, w, h, owner, nullptr, instance, object);
}

}  // namespace vitrell
