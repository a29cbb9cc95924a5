#include "platform/monitors.h"

#include <algorithm>

namespace vitrell {

namespace {

double OverlapArea(const RectTwips& a, const RectTwips& b) {
    const double w = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    const double h = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

bool PlaceReachable(const RectTwips& window, const MonitorList& monitors) {
    double shown = 0;
    for (const RectTwips& monitor : monitors)
        shown += OverlapArea(window, monitor);
    const double area = window.width * window.height;
    return area > 0 && shown * 3 >= area;
}

RectTwips MonitorHolding(const RectTwips& window, const MonitorList& monitors) {
    if (monitors.empty())
        return {};
    const RectTwips* best = &monitors.front();
    double bestArea = 0;
    for (const RectTwips& monitor : monitors) {
        const double area = OverlapArea(window, monitor);
        if (area > bestArea) {
            bestArea = area;
            best = &monitor;
        }
    }
    return *best;
}

}  // namespace vitrell
