#pragma once
// Layout is designed in twips (1440 to the logical inch); this is the one place they meet pixels.
#include <cmath>

namespace vitrell {

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline double PixelsToTwips(int pixels, int dpi) {
    return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

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

}  // namespace vitrell
