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

// What asking a layered window for its colour key and alpha tells.
enum class LayeredAttributes {
    kSet,      // it has them: it was layered with SetLayeredWindowAttributes
    kNone,     // it has none: it paints itself with per-pixel alpha (UpdateLayeredWindow), or nothing yet
    kUnknown,  // the system cannot tell (Windows 2000 has no GetLayeredWindowAttributes)
};

class IWindowSystem {
  public:
    virtual ~IWindowSystem() = default;
    virtual bool GetCursorPos(ScreenPoint& point) = 0;
    virtual WindowHandle WindowFromPoint(ScreenPoint point) = 0;
    virtual std::uint32_t ReadWindowLong(WindowHandle window, int index) = 0;
    virtual void WriteWindowLong(WindowHandle window, int index, std::uint32_t value) = 0;
    virtual LayeredAttributes QueryLayeredAttributes(WindowHandle window) = 0;
    virtual void SetLayeredWindowAttributes(WindowHandle window,
                                            std::uint32_t colorKey,
                                            std::uint8_t alpha,
                                            std::uint32_t flags) = 0;
    // True when the window's thread takes messages within a short bound. Changing another program's style
    // waits until that program answers, so a window that does not must not be touched.
    virtual bool Answers(WindowHandle window) = 0;
};

}  // namespace vitrell
