#pragma once
// The cursor and window queries the transparency engine needs.
#include <cstdint>

namespace vitrell {

using WindowHandle = std::uintptr_t;

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

inline constexpr int kGwlStyle = -16;
inline constexpr int kGwlExStyle = -20;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsExLayered = 0x00080000;
inline constexpr std::uint32_t kLwaAlpha = 2;

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    virtual bool GetCursorPos(ScreenPoint& point) = 0;
    virtual WindowHandle WindowFromPoint(ScreenPoint point) = 0;
    virtual std::uint32_t ReadWindowLong(WindowHandle window, int index) = 0;
    virtual void WriteWindowLong(WindowHandle window, int index, std::uint32_t value) = 0;
    virtual void SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colorKey, std::uint8_t alpha,
                                            std::uint32_t flags) = 0;
};

}  // namespace vitrell
