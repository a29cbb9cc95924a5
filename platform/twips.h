#pragma once
// Layout is designed in twips (1440 to the logical inch); this is the one place they meet pixels.
#include <cmath>

namespace vitrell {

inline constexpr int kTwipsPerInch = 1440;

struct SizeTwips {
    double width = 0;
    double height = 0;
};

struct RectTwips {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The logical pixels per inch of a window, read once when the window is made.
struct Dpi {
    int x = 96;
    int y = 96;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A length or coordinate in twips as the nearest pixel at `dpi` (halves away from zero).
inline int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline double PixelsToTwips(int pixels, int dpi) {
    return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

// Every edge is rounded on its own, so rectangles that touch in twips touch in pixels too.
inline PixelRect ToPixels(const RectTwips& r, Dpi dpi) {
    return {TwipsToPixels(r.left, dpi.x), TwipsToPixels(r.top, dpi.y), TwipsToPixels(r.left + r.width, dpi.x),
            TwipsToPixels(r.top + r.height, dpi.y)};
}

inline RectTwips ToTwips(const PixelRect& r, Dpi dpi) {
    return {PixelsToTwips(r.left, dpi.x), PixelsToTwips(r.top, dpi.y), PixelsToTwips(r.right - r.left, dpi.x),
            PixelsToTwips(r.bottom - r.top, dpi.y)};
}

}  // namespace vitrell
