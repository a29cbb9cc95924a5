#pragma once
// What the two logo forms draw, as data: labels, lines and the icon, in twips relative to the client area.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/dpi_scaler.h"
#include "platform/font_spec.h"
#include "platform/rgb.h"
#include "platform/twips.h"

namespace vitrell {

// A label's ink: a fixed colour, or the system's button-text colour (the shadows follow the user's scheme).
struct LabelInk {
    bool buttonText = false;
    Rgb colour;
};

struct LabelSpec {
    int index = 0;  // the control-array index of Label1
    std::wstring_view text;
    RectTwips rect;
    const FontSpec* font = nullptr;
    LabelInk ink;
};

struct LineSpec {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

struct FormLayout {
    SizeTwips client;
    Rgb background;
    std::span<const LabelSpec> labels;  // in drawing order: shadows first, so each coloured label lies above
    std::span<const LineSpec> lines;
    Rgb lineColour;
    RectTwips icon;
};

inline constexpr Rgb kFormGrey{128, 128, 128};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kPaleYellow{255, 255, 192};
inline constexpr Rgb kWhite{255, 255, 255};

inline constexpr std::wstring_view kProductName = L"ビトレル";
inline constexpr std::wstring_view kVersionText = L"Ver.1.1.2";

// The product name is drawn as all but its last character, then that last character set small.
inline constexpr std::wstring_view ProductNameHead() {
    return kProductName.substr(0, kProductName.size() - 1);
}
inline constexpr std::wstring_view ProductNameTail() {
    return kProductName.substr(kProductName.size() - 1);
}

// The label drawn last (topmost) whose area holds the point, or -1 for the form's own background. `areas` holds one
// area per label, in the layout's order: what the label's text covers in the face really drawn, which may be narrower
// or wider than the label's designed rectangle. Labels beyond the end of `areas` never hold a point.
int LabelAt(const FormLayout& layout, std::span<const RectTwips> areas, double xTwips, double yTwips);

// The fonts of a form for the DPI scaler: one per label, in the layout's order, each for its label's text.
std::vector<ScaledFont> LabelFonts(const FormLayout& layout);

}  // namespace vitrell
