#include "platform/win32/window_system_win32.h"

#include <windows.h>

namespace vitrell {

namespace {
HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
}  // namespace

bool Win32WindowSystem::GetCursorPos(ScreenPoint& point) {
    POINT p{};
    if (!::GetCursorPos(&p))
        return false;
    point = {p.x, p.y};
    return true;
}

WindowHandle Win32WindowSystem::WindowFromPoint(ScreenPoint point) {
    return reinterpret_cast<WindowHandle>(::WindowFromPoint(POINT{point.x, point.y}));
}

std::uint32_t Win32WindowSystem::ReadWindowLong(WindowHandle window, int index) {
    return static_cast<std::uint32_t>(::GetWindowLongW(ToHwnd(window), index));
}

void Win32WindowSystem::WriteWindowLong(WindowHandle window, int index, std::uint32_t value) {
    (void)::SetWindowLongW(ToHwnd(window), index, static_cast<LONG>(value));  // failure leaves the window as it was
}

void Win32WindowSystem::SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colorKey, std::uint8_t alpha,
                                                   std::uint32_t flags) {
    (void)::SetLayeredWindowAttributes(ToHwnd(window), colorKey, alpha, flags);  // likewise
}

}  // namespace vitrell
