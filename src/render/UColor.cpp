#include "render/UColor.h"

#include <algorithm>
#include <cmath>

UColor scaleRGB(UColor colour, float factor) {
    UColor result = colour & 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const float channel = static_cast<float>((colour >> shift) & 0xFFu) * factor;
        const auto scaled = static_cast<UColor>(std::clamp(std::lround(channel), 0L, 255L));
        result |= scaled << shift;
    }
    return result;
}
