#pragma once
#include "platform/window_system.h"

namespace vitrell {

class Win32WindowSystem final : public IWindowSystem {
  public:
    bool GetCursorPos(ScreenPoint& point) override;
    WindowHandle WindowFromPoint(ScreenPoint point) override;
    std::uint32_t ReadWindowLong(WindowHandle window, int index) override;
    void WriteWindowLong(WindowHandle window, int index, std::uint32_t value) override;
    LayeredAttributes QueryLayeredAttributes(WindowHandle window) override;
    void SetLayeredWindowAttributes(WindowHandle window,
                                    std::uint32_t colorKey,
                                    std::uint8_t alpha,
                                    std::uint32_t flags) override;
    bool Answers(WindowHandle window) override;
};

}  // namespace vitrell
