#pragma once
// The transparency engine: once per period, the window under the cursor gets the alpha of the level.
#include <cstdint>
#include <string_view>

#include "core/settings.h"
#include "platform/window_system.h"

namespace vitrell {

// (100 − level) / 100 × 255, ties to even. The level is clamped to 0..100 first, so no edited
// setting can wrap the alpha around.
std::uint8_t AlphaForLevel(double level);

// Tracking period in milliseconds from OptNin seconds, ties to even. 0 stops the timer; a negative or
// non-numeric text stops it too, and a period past what the timer takes (65.535 s) is held at that limit.
std::uint32_t TrackingIntervalMs(std::wstring_view seconds);

class Engine {
  public:
    Engine(const SettingsRecord& settings, IWindowSystem& system) : settings_(settings), system_(system) {}

    void Timer1_Timer();
    void ApplyTransparency();

    WindowHandle TargetWindow = 0;

  private:
    const SettingsRecord& settings_;
    IWindowSystem& system_;
};

}  // namespace vitrell
