#pragma once
// Drawing the logo forms from their layout tables.
#include <windows.h>

#include <functional>
#include <vector>

#include "about/form_layout.h"
#include "platform/win32/handles.h"
#include "platform/win32/scaled_window_win32.h"

namespace vitrell {

// The GDI objects one form draws with, made at the form's DPI and made again when that changes, and where its
// labels' texts lie.
class FormPaintKit final : private ScaledWindowWin32 {
  public:
    // `parts`: child windows of the form (the version box's OK button), whose fonts are `partFonts`, indexed after
    // the labels' own. Laid out at the system's DPI until Attach.
    FormPaintKit(HINSTANCE instance,
                 const FormLayout& layout,
                 std::vector<ScaledPart> parts = {},
                 std::vector<ScaledFont> partFonts = {});

    // Takes the form's window once it exists (its parts made) and lays the form out at the window's own DPI. From
    // then on the logo is the window's icon too, and `laidOut` runs after every layout.
    void Attach(HWND window, std::function<void()> laidOut = {});
    // WM_DPICHANGED: the suggested rectangle, the layout at the new DPI, a repaint.
    void ChangeDpi(WPARAM wParam, LPARAM lParam);

    // Fills the background and draws every label, line and the icon that the update region touches.
    // `inkOf` gives each label's current ink (links change colour under the pointer).
    void Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const;

    HICON Icon() const { return AsIcon(scaler_.Image(0)); }
    Dpi DpiOf() const { return scaler_.Current(); }
    // The client area in pixels.
    SIZE ClientSize() const;
    // A rectangle of the layout in client pixels.
    RECT Pixels(const RectTwips& rect) const;

    // What the text of the layout's `position`th label covers, in client pixels: measured in the face it is
    // really drawn in, from the label's top-left corner.
    RECT TextArea(size_t position) const { return textAreas_[position]; }
    // The same for every label, in twips, as LabelAt takes them.
    const std::vector<RectTwips>& TextAreasTwips() const { return textAreasTwips_; }
    // Everything the label may have drawn: its designed rectangle and its text with any part of a glyph that
    // reaches past the text's advance.
    RECT DrawnArea(size_t position) const { return drawnAreas_[position]; }

  private:
    HGDIOBJ FontOf(size_t position) const;
    ObjectHandle MakeImage(int index, Dpi dpi) override;
    void UseImage(int index, ObjectHandle image) override;
    void LaidOut() override;

    HINSTANCE instance_;
    const FormLayout& layout_;
    std::vector<RECT> textAreas_;            // one per label, in the layout's order
    std::vector<RectTwips> textAreasTwips_;  // likewise
    std::vector<RECT> drawnAreas_;           // likewise
    std::function<void()> laidOut_;
    UniqueBrush background_;
    UniquePen linePen_;
    DpiScaler scaler_;  // declared last, so it goes first, while what it calls on still lives
};

}  // namespace vitrell
