#include "about/form_layout.h"

namespace vitrell {

int LabelAt(const FormLayout& layout, double x, double y) {
    // Later labels lie above earlier ones, so the search runs from the top down.
    for (auto it = layout.labels.rbegin(); it != layout.labels.rend(); ++it) {
        const RectTwips& r = it->rect;
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
            return it->index;
    }
    return -1;
}

}  // namespace vitrell
