#include "platform/AudioSlide.h"

void AudioSlide::set(float value) {
    from = to = value;
    total = elapsed = 0;
}

void AudioSlide::slideTo(float target, std::int64_t frames) {
    if (frames <= 0) {
        set(target);
        return;
    }
    // A slide that replaces another starts from where the old one had got to.
    from = value();
    to = target;
    total = frames;
    elapsed = 0;
}

void AudioSlide::advance(std::int64_t frames) {
    if (!sliding() || frames <= 0) return;
    elapsed += frames;
    if (elapsed >= total) set(to);
}

float AudioSlide::valueAfter(std::int64_t frames) const {
    const std::int64_t at = elapsed + frames;
    if (at >= total) return to;
    return from + (to - from) * static_cast<float>(static_cast<double>(at) / static_cast<double>(total));
}
