#pragma once
// Drawing the logo forms from their layout tables, and placing them centred on the screen.
#include <windows.h>

#include <functional>
#include <vector>

#include "about/form_layout.h"
#include "platform/win32/handles.h"

namespace vitrell {

// The GDI objects one form draws with, made once when the window is created, and where its labels' texts lie.
class FormPaintKit {
  public:
    FormPaintKit(HINSTANCE instance, const FormLayout& layout);

    // Fills the background and draws every label, line and the icon that the update region touches.
    // `inkOf` gives each label's current ink (links change colour under the pointer).
    void Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const;

    HICON Icon() const { return icon_.get(); }

    // What the text of the layout's `position`th label covers, in client pixels: measured in the face it is
    // really drawn in, from the label's top-left corner.
    RECT TextArea(size_t position) const { return textAreas_[position]; }
    // The same for every label, in twips, as LabelAt takes them.
    std::vector<RectTwips> TextAreasTwips() const;
    // Everything the label may have drawn: its designed rectangle and its text with any part of a glyph that
    // reaches past the text's advance.
    RECT DrawnArea(size_t position) const;

  private:
    HGDIOBJ FontOf(size_t position) const;

    const FormLayout& layout_;
    std::vector<UniqueGdiObject> labelFonts_;  // one per label, in the layout's order
    std::vector<RECT> textAreas_;              // likewise
    std::vector<RECT> drawnAreas_;             // likewise
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
