#pragma once
// How a form describes one of its fonts; platform/win32/fonts_win32.h makes the font from it.
#include <string_view>

namespace vitrell {

struct FontSpec {
    std::wstring_view face;
    double points = 9;
    bool bold = false;
    bool underline = false;
    bool shiftJis = false;  // the Japanese faces ask for the Shift-JIS character set
};

}  // namespace vitrell
