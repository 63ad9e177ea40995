#include "ui/FrameRatePlacement.h"

#include <algorithm>
#include <cmath>

namespace {
bool comesNear(const ViewRect& a, const ViewRect& b, float gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.bottom < b.top + gap && b.bottom < a.top + gap;
}
}  // namespace

// The box only moves down, so the parts, taken from the highest top to the lowest, need
// one look each: a part the box has gone under stays above it, one it stands beside
// stays beside it, and once the box stands wholly above a part it stands above every
// later one too. One pass after the sort, whatever the list. Near a part, the box's top
// goes to the part's bottom less the gap; where rounding puts that no lower than the
// box's top already is (a bottom near 0, where (bottom - gap) + gap rounds above
// bottom), the box is as low as it needs to be and stays.
void FrameRatePlacement::lowerPast(ViewRect& box, std::vector<ViewRect> parts, std::size_t* steps) {
    std::size_t counted = 0;
    std::erase_if(parts, [&counted](const ViewRect& part) {
        ++counted;
        return std::isnan(part.top);  // no place in the order
    });
    const auto higher = [&counted](float a, float b) {
        ++counted;
        return a > b;
    };
    std::ranges::sort(parts, higher, &ViewRect::top);
    for (const ViewRect& part : parts) {
        ++counted;
        if (!comesNear(box, part, kGap)) continue;
        const float top = part.bottom - kGap;
        if (!(top < box.top)) continue;
        box.bottom = top - (box.top - box.bottom);
        box.top = top;
    }
    if (steps) *steps = counted;
}
