#pragma once
// An invisible top-level window that owns another one, which keeps that window off the taskbar while its title
// bar stays a normal one. A close request that another program sends it (Task Manager's End Task may reach it)
// goes to `onClose`; without one it is ignored.
#include <windows.h>

#include <functional>

#include "platform/win32/base_window.h"

namespace vitrell {

class HiddenOwner final : public BaseWindow<HiddenOwner> {
  public:
    HiddenOwner() = default;
    ~HiddenOwner();
    HiddenOwner(const HiddenOwner&) = delete;
    HiddenOwner& operator=(const HiddenOwner&) = delete;

    // False when the system refused the window.
    bool Create(HINSTANCE instance, const wchar_t* caption, HICON icon = nullptr, std::function<void()> onClose = {});
    void Destroy();

    WindowClass ClassInfo() const;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    std::function<void()> onClose_;
};

}  // namespace vitrell
