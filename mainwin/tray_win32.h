#pragma once
// The tray icon and Picture1, the small child window that receives its callbacks: the icon's callback message is
// WM_MOUSEMOVE, so the X coordinate of the move is the number of the mouse message that happened on the icon.
#include <windows.h>

#include <functional>

#include "mainwin/main_window_view.h"
#include "platform/win32/base_window.h"

namespace vitrell {

class TrayIcon final : public ITray, public BaseWindow<TrayIcon> {
  public:
    // Makes Picture1 on `parent` with the control id `id`, for the parent to place; `onMouseMove` receives the X
    // coordinate of each move. False when the window could not be made.
    bool Create(HINSTANCE instance, HWND parent, int id, HICON icon, std::function<void(float)> onMouseMove);

    void Notify(TrayMessage message) override;

    WindowClass ClassInfo() const;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    HICON icon_ = nullptr;
    std::function<void(float)> onMouseMove_;
};

}  // namespace vitrell
