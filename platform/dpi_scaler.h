#pragma once
// A window laid out in twips keeps its pixels at its own DPI. Made, it places its child windows and makes its fonts
// and images at that DPI; moved to a monitor of another scaling, it takes the rectangle the system suggests and does
// the same again at the new DPI, then repaints. The window's skin makes and frees the system's objects; the scaler
// keeps the order and the count: every place converted by ToPixels, every new object handed over before the one it
// replaces is freed, nothing left behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/font_spec.h"
#include "platform/twips.h"

namespace vitrell {

// A font or an image of the system; 0 when none could be made.
using ObjectHandle = std::uintptr_t;

// A font the window draws with: its design, and every character drawn in it (for the glyph check of the factory).
struct ScaledFont {
    FontSpec spec;
    std::wstring text;
};

// A child window: its place on the client area in twips and the index of its font (-1: it keeps the system's).
struct ScaledPart {
    int id = 0;
    RectTwips place;
    int font = -1;
};

// What the window's skin does for the scaler.
class IScaledWindow {
  public:
    virtual ~IScaledWindow() = default;
    virtual void SetOuterRect(const PixelRect& outer) = 0;
    virtual void PlacePart(int id, const PixelRect& place) = 0;
    virtual ObjectHandle MakeFont(const FontSpec& spec, int dpi, std::wstring_view text) = 0;
    virtual void SetPartFont(int id, ObjectHandle font) = 0;
    // Image `index` of the window at `dpi`: its size is the window's own affair (a metric, or a place of its layout).
    virtual ObjectHandle MakeImage(int index, Dpi dpi) = 0;
    virtual void UseImage(int index, ObjectHandle image) = 0;  // where the window shows it (its icon, its paint)
    // Called once the parts hold their new places, fonts and images: for what the window derives from them (a
    // control's own height, the areas of tooltips, where a drawn text lies).
    virtual void LaidOut() {}
    virtual void FreeFont(ObjectHandle font) = 0;
    virtual void FreeImage(ObjectHandle image) = 0;
    virtual void Repaint() = 0;
};

class DpiScaler {
  public:
    DpiScaler(IScaledWindow& window, std::vector<ScaledPart> parts, std::vector<ScaledFont> fonts, int images);
    ~DpiScaler();
    DpiScaler(const DpiScaler&) = delete;
    DpiScaler& operator=(const DpiScaler&) = delete;

    // Lays the window out at `dpi`: places every part, makes every font and image and hands them over, then frees
    // those they replace. The first call makes them; each later one replaces them.
    void Apply(Dpi dpi);
    // A DPI change: the window takes the suggested rectangle, is laid out at the new DPI and repaints.
    void Change(Dpi dpi, const PixelRect& suggested);

    Dpi Current() const { return dpi_; }
    PixelRect Pixels(const RectTwips& twips) const { return ToPixels(twips, dpi_); }
    ObjectHandle Font(size_t index) const { return index < fonts_.size() ? fonts_[index] : 0; }
    ObjectHandle Image(size_t index) const { return index < images_.size() ? images_[index] : 0; }

  private:
    void FreeAll(const std::vector<ObjectHandle>& fonts, const std::vector<ObjectHandle>& images);

    IScaledWindow& window_;
    std::vector<ScaledPart> parts_;
    std::vector<ScaledFont> fontSpecs_;
    Dpi dpi_;
    std::vector<ObjectHandle> fonts_;   // one per font spec, once Apply has run
    std::vector<ObjectHandle> images_;  // one per image, likewise
    int imageCount_;
};

}  // namespace vitrell
