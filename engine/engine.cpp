#include "engine/engine.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace vitrell {

namespace {
constexpr double kMaxIntervalMs = 65535;
}

std::uint8_t AlphaForLevel(double level) {
    const double t = std::clamp(level, 0.0, 100.0);
    return static_cast<std::uint8_t>(RoundHalfEven((100.0 - t) / 100.0 * 255.0));
}

std::uint32_t TrackingIntervalMs(std::wstring_view seconds) {
    const double ms = RoundHalfEven(LeadingNumber(seconds) * 1000.0);
    return static_cast<std::uint32_t>(std::clamp(ms, 0.0, kMaxIntervalMs));
}

void Engine::Timer1_Timer() {
    if (!EngineSwitchOn(settings_.OptOn_Off))
        return;
    ScreenPoint cursor;
    if (!system_.GetCursorPos(cursor))
        return;
    TargetWindow = system_.WindowFromPoint(cursor);
    ApplyTransparency();
}

void Engine::ApplyTransparency() {
    if (TargetWindow == 0)
        return;
    // Child controls stay as their owner draws them: Windows 2000 and XP never layer them, and later
    // systems that do would leave holes in an opaque frame.
    if (system_.ReadWindowLong(TargetWindow, kGwlStyle) & kWsChild)
        return;
    const std::uint32_t exStyle = system_.ReadWindowLong(TargetWindow, kGwlExStyle);
    if (exStyle & kWsExLayered) {
        // A window that paints itself with per-pixel alpha has no attributes to read; given some, it could no
        // longer update itself. One layered with attributes (by us or by its own program) is treated as any other.
        if (system_.QueryLayeredAttributes(TargetWindow) == LayeredAttributes::kNone)
            return;
        // Its style already has the bit: writing it again would change nothing, yet wait on the window's thread,
        // which Windows tells of the change with sent messages.
    } else {
        // That wait is why a window that does not answer is left alone until it does.
        if (!system_.Answers(TargetWindow))
            return;
        system_.WriteWindowLong(TargetWindow, kGwlExStyle, exStyle | kWsExLayered);
    }
    system_.SetLayeredWindowAttributes(TargetWindow, 0, AlphaForLevel(LeadingNumber(settings_.OptTou)), kLwaAlpha);
}

}  // namespace vitrell
