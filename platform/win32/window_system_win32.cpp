#include "platform/win32/window_system_win32.h"

#include <windows.h>

#include "platform/win32/newer_calls_win32.h"

namespace vitrell {

namespace {

// How long another program's window may take to answer before a tick leaves it alone. A program whose message
// loop runs answers within a few milliseconds even on a loaded machine; the bound is what the user's own input
// may be held up, once per tracking period, in the seconds before Windows itself calls the window hung (from
// then on SMTO_ABORTIFHUNG returns at once).
constexpr UINT kAnswerLimitMs = 200;

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

LayeredAttributes Win32WindowSystem::QueryLayeredAttributes(WindowHandle window) {
    const auto query = SystemNewerCalls().GetLayeredWindowAttributes;
    if (!query)
        return LayeredAttributes::kUnknown;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    return query(ToHwnd(window), &key, &alpha, &flags) ? LayeredAttributes::kSet : LayeredAttributes::kNone;
}

void Win32WindowSystem::SetLayeredWindowAttributes(WindowHandle window,
                                                   std::uint32_t colorKey,
                                                   std::uint8_t alpha,
                                                   std::uint32_t flags) {
    (void)::SetLayeredWindowAttributes(ToHwnd(window), colorKey, alpha, flags);  // likewise
}

bool Win32WindowSystem::Answers(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    // Our own windows answer by definition: a send to them is a plain call.
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
        return true;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerLimitMs, &result) != 0;
}

}  // namespace vitrell
