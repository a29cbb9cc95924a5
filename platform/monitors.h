#pragma once
// The desktop's monitors, in twips like every stored position, and where a window stands among them.
#include <vector>

#include "platform/twips.h"

namespace vitrell {

// Whole monitors (not their work areas), the primary first.
using MonitorList = std::vector<RectTwips>;

// A stored place is restored when at least a third of the window's area would show on the monitors taken
// together; with less, the window (which has no taskbar button) could be out of reach, and it is centred instead.
bool PlaceReachable(const RectTwips& window, const MonitorList& monitors);

// The monitor that shows the largest part of the window; the primary when none shows any of it.
RectTwips MonitorHolding(const RectTwips& window, const MonitorList& monitors);

// The window's left and top to stand centred on `monitor`, halves kept.
inline RectTwips CentredOn(const RectTwips& monitor, RectTwips window) {
    window.left = monitor.left + (monitor.width - window.width) / 2;
    window.top = monitor.top + (monitor.height - window.height) / 2;
    return window;
}

}  // namespace vitrell
