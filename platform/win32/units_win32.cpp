#include "platform/win32/units_win32.h"

#include <cstring>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/newer_calls_win32.h"

namespace vitrell {

Dpi ReadDpi() {
    const WindowDc screen(nullptr);
    if (!screen)
        return Dpi{};  // no screen DC: the standard 96 dpi rather than a division by zero
    const int x = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return Dpi{x > 0 ? x : 96, y > 0 ? y : 96};
}

Dpi DpiOfWindow(HWND window) {
    if (const auto forWindow = SystemNewerCalls().GetDpiForWindow) {
        const int dpi = static_cast<int>(forWindow(window));
        if (dpi > 0)
            return Dpi{dpi, dpi};
    }
    return ReadDpi();  // 0 for a window that is gone, or no such call: the system's
}

int MetricForDpi(int index, Dpi dpi) {
    if (const auto forDpi = SystemNewerCalls().GetSystemMetricsForDpi)
        return forDpi(index, static_cast<UINT>(dpi.y));
    return MulDiv(GetSystemMetrics(index), dpi.y, ReadDpi().y);
}

SizeTwips ScreenSizeTwips(Dpi dpi) {
    return {PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi.x), PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi.y)};
}

namespace {

struct MonitorSearch {
    MonitorList list;
    Dpi dpi;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
    auto& search = *reinterpret_cast<MonitorSearch*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;  // one that went meanwhile: the others still count
    const RectTwips rect = ToTwips(FromRect(info.rcMonitor), search.dpi);
    // A mirroring driver's pseudo-monitor lies over the monitor it mirrors: that area counts once.
    for (const RectTwips& known : search.list)
        if (std::memcmp(&known, &rect, sizeof(rect)) == 0)
            return TRUE;
    search.list.push_back(rect);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        std::swap(search.list.front(), search.list.back());
    return TRUE;
}

}  // namespace

MonitorList MonitorsTwips(Dpi dpi) {
    MonitorSearch search{{}, dpi};
    if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&search)) || search.list.empty()) {
        const SizeTwips screen = ScreenSizeTwips(dpi);
        return MonitorList(1, RectTwips{0, 0, screen.width, screen.height});
    }
    return search.list;
}

}  // namespace vitrell
