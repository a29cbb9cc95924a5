#include "about/form_layout.h"

#include <algorithm>

namespace vitrell {

int LabelAt(const FormLayout& layout, std::span<const RectTwips> areas, double x, double y) {
    // Later labels lie above earlier ones, so the search runs from the top down.
    for (size_t i = std::min(layout.labels.size(), areas.size()); i-- > 0;) {
        const RectTwips& r = areas[i];
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
            return layout.labels[i].index;
    }
    return -1;
}

std::vector<ScaledFont> LabelFonts(const FormLayout& layout) {
    std::vector<ScaledFont> fonts;
    for (const LabelSpec& label : layout.labels)
        fonts.push_back({*label.font, std::wstring(label.text)});
    return fonts;
}

}  // namespace vitrell
