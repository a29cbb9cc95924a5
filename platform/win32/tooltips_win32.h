#pragma once
// One tooltip control for a window: tips for its child controls, or for rectangles of its client area. A missing
// tip is cosmetic, so nothing here reports a failure.
#include <windows.h>

#include <deque>
#include <string>

namespace vitrell {

class Tooltips {
  public:
    // Makes the control; its owner destroys it with itself.
    void Create(HINSTANCE instance, HWND owner, DWORD exStyle = 0);
    // A tip for a child control of the owner.
    void AddForControl(HWND control, std::wstring_view text);
    // A tip for a rectangle of the owner's client area, known by `id` (the rectangle may be empty for now).
    void AddForArea(UINT_PTR id, const RECT& area, std::wstring_view text);
    void MoveArea(UINT_PTR id, const RECT& area);

  private:
    HWND owner_ = nullptr;
    HWND tips_ = nullptr;
    std::deque<std::wstring> texts_;  // the control keeps pointers to them: a deque never moves them
};

}  // namespace vitrell
