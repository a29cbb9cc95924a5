#pragma once
// Drawing the logo forms from their layout tables.
#include <windows.h>

#include <functional>
#include <vector>

#include "about/form_layout.h"
#include "platform/win32/handles.h"

namespace vitrell {

// The GDI objects one form draws with, made once when the window is created at `dpi`, and where its labels' texts
// lie.
class FormPaintKit {
  public:
    FormPaintKit(HINSTANCE instance, const FormLayout& layout, Dpi dpi);

    // Fills the background and draws every label, line and the icon that the update region touches.
    // `inkOf` gives each label's current ink (links change colour under the pointer).
    void Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const;

    HICON Icon() const { return icon_.get(); }
    Dpi DpiOf() const { return dpi_; }
    // The client area in pixels.
    SIZE ClientSize() const;
    // A rectangle of the layout in client pixels.
    RECT Pixels(const RectTwips& rect) const;

    // What the text of the layout's `position`th label covers, in client pixels: measured in the face it is
    // really drawn in, from the label's top-left corner.
    RECT TextArea(size_t position) const { return textAreas_[position]; }
    // The same for every label, in twips, as LabelAt takes them.
    std::vector<RectTwips> TextAreasTwips() const;
    // Everything the label may have drawn: its designed rectangle and its text with any part of a glyph that
    // reaches past the text's advance.
    RECT DrawnArea(size_t position) const { return drawnAreas_[position]; }

  private:
    HGDIOBJ FontOf(size_t position) const;

    const FormLayout& layout_;
    Dpi dpi_;
    std::vector<UniqueFont> labelFonts_;  // one per label, in the layout's order
    std::vector<RECT> textAreas_;         // likewise
    std::vector<RECT> drawnAreas_;        // likewise
    UniqueBrush background_;
    UniquePen linePen_;
    UniqueIcon icon_;
};

}  // namespace vitrell
