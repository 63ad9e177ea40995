#include "platform/AudioLimiter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kRecovered = 1e-5f;  // a cut this small is none: quiet frames stay untouched
}  // namespace

AudioLimiter::AudioLimiter(int outputRate)
    : keep(static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * std::max(outputRate, 1))))) {}

void AudioLimiter::process(std::span<float> frames) {
    float c = cut;
    for (std::size_t i = 0; i + 1 < frames.size(); i += 2) {
        float& left = frames[i];
        float& right = frames[i + 1];
        if (c > 0.0f) c = c > kRecovered ? c * keep : 0.0f;
        const float peak = std::max(std::fabs(left), std::fabs(right));
        if (!std::isfinite(peak)) {
            // A broken frame (a damaged source) is dropped rather than let out or let
            // silence what follows.
            left = right = 0.0f;
            continue;
        }
        if (peak * (1.0f - c) > kCeiling) c = 1.0f - kCeiling / peak;
        if (c > 0.0f) {
            left *= 1.0f - c;
            right *= 1.0f - c;
        }
    }
    cut = c;
}
