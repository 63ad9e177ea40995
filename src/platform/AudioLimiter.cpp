#include "platform/AudioLimiter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kRecovered = 1e-5f;  // a cut this small is none: quiet frames stay untouched
}  // namespace

AudioLimiter::AudioLimiter(int outputRate)
    : keep(static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * std::max(outputRate, 1))))) {}

// The smallest cut at least `wanted` under which `peak` leaves at or below the ceiling, as
// the gain is applied: in float, the gain being 1 - cut rounded. kCeiling / peak alone may
// round the product up by an ulp, and 1 - (1 - g) need not give g back.
float AudioLimiter::cutFor(float peak, float wanted) {
    float c = wanted;
    while (peak * (1.0f - c) > kCeiling) c = std::nextafter(c, 2.0f);
    return std::min(c, 1.0f);
}

void AudioLimiter::process(std::span<float> frames) {
    float c = cut;
    for (std::size_t i = 0; i + 1 < frames.size(); i += 2) {
        float& left = frames[i];
        float& right = frames[i + 1];
        if (c > 0.0f) c = c > kRecovered ? c * keep : 0.0f;
        // Each channel on its own: the larger of a number and NaN may be the number.
        if (!std::isfinite(left) || !std::isfinite(right)) {
            // A broken frame (a damaged source) is dropped rather than let out or let
            // silence what follows.
            left = right = 0.0f;
            continue;
        }
        const float peak = std::max(std::fabs(left), std::fabs(right));
        // The test is the product the frame leaves with, so a frame that passes it is at
        // or below the ceiling exactly; a smaller sample's product is no larger.
        if (peak * (1.0f - c) > kCeiling) c = cutFor(peak, 1.0f - kCeiling / peak);
        if (c > 0.0f) {
            const float gain = 1.0f - c;
            left *= gain;
            right *= gain;
        }
    }
    cut = c;
}
