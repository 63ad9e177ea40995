#include "render/VideoMode.h"

#include <cmath>

#include "engine/Format.h"

namespace {
struct NamedRatio {
    float value;
    int x, y;
};

// Tried in this order; the first within 0.01 names the mode.
constexpr NamedRatio kNamedRatios[] = {{1.25f, 5, 4},  {1.33f, 4, 3}, {1.5f, 3, 2},
                                       {1.6f, 16, 10}, {1.66f, 5, 3}, {1.77f, 16, 9}};
constexpr float kTolerance = 0.01f;
}  // namespace

VideoMode::VideoMode(int width_, int height_) : width(width_), height(height_), aspectX(width_), aspectY(height_) {
    const float r = static_cast<float>(width) / static_cast<float>(height);
    for (const NamedRatio& named : kNamedRatios) {
        if (std::fabs(r - named.value) < kTolerance) {
            aspectX = named.x;
            aspectY = named.y;
            return;
        }
    }
    const int n = height != 0 ? width / height : 0;
    if (std::fabs(r - static_cast<float>(n)) < kTolerance) {
        aspectX = n;
        aspectY = 1;
    }
}

std::u16string VideoMode::toString() const {
    if (aspectX != width) return formatString(u"%dx%d (%d:%d)", width, height, aspectX, aspectY);
    return formatString(u"%dx%d", width, height);
}
