#pragma once
// Drawing the logo forms from their layout tables, and placing them centred on the screen.
#include <windows.h>

#include <functional>
#include <vector>

#include "about/form_layout.h"
#include "platform/win32/handles.h"

namespace vitrell {

// The GDI objects one form draws with, made once when the window is created.
class FormPaintKit {
  public:
    FormPaintKit(HINSTANCE instance, const FormLayout& layout);

    // Fills the background and draws every label, line and the icon that the update region touches.
    // `inkOf` gives each label's current ink (links change colour under the pointer).
    void Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const;

    HICON Icon() const { return icon_.get(); }

  private:
    const FormLayout& layout_;
    std::vector<UniqueGdiObject> labelFonts_;  // one per label, in the layout's order
    UniqueGdiObject background_;
    UniqueGdiObject linePen_;
    UniqueIcon icon_;
};

// A label's rectangle in client pixels.
RECT LabelRectPixels(const RectTwips& rect);

// Creates a top-level window whose client area is `client` twips, centred on the screen.
HWND CreateCentredWindow(DWORD exStyle,
                         const wchar_t* className,
                         const wchar_t* caption,
                         DWORD style,
                         SizeTwips client,
                         HWND owner,
                         HINSTANCE instance,
                         void* param);

COLORREF ToColorRef(Rgb colour);

}  // namespace vitrell
