#pragma once
// Move-only owners for every kind of Win32 handle the program keeps, one line each, and guards for what is given
// back at the end of a scope: a DC from GetDC or BeginPaint, an object selected into a DC.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "platform/unique_resource.h"

namespace vitrell {

using UniqueRegKey = UniqueResource<Closes<HKEY, RegCloseKey>>;
using UniqueIcon = UniqueResource<Closes<HICON, DestroyIcon>>;
using UniqueCursor = UniqueResource<Closes<HCURSOR, DestroyCursor>>;
using UniqueImageList = UniqueResource<Closes<HIMAGELIST, ImageList_Destroy>>;
using UniqueFont = UniqueResource<Closes<HFONT, DeleteObject>>;
using UniqueBrush = UniqueResource<Closes<HBRUSH, DeleteObject>>;
using UniquePen = UniqueResource<Closes<HPEN, DeleteObject>>;
using UniqueBitmap = UniqueResource<Closes<HBITMAP, DeleteObject>>;
using UniqueMenu = UniqueResource<Closes<HMENU, DestroyMenu>>;
using UniqueAccelerators = UniqueResource<Closes<HACCEL, DestroyAcceleratorTable>>;
using UniqueMemoryDc = UniqueResource<Closes<HDC, DeleteDC>>;  // from CreateCompatibleDC
using UniqueKernelHandle = UniqueResource<Closes<HANDLE, CloseHandle>>;

// The DC of a window (or of the screen, for null) from GetDC, released at the end of the scope.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_)
            (void)ReleaseDC(window_, dc_);  // only a DC that was never ours fails here
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around a WM_PAINT handler.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() {
        if (dc_)
            (void)EndPaint(window_, &paint_);  // always TRUE
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    const RECT& Dirty() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC for the guard's life and then puts back what was selected before.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_)
            (void)SelectObject(dc_, previous_);  // the DC's own object goes back; nothing to do on failure
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vitrell
