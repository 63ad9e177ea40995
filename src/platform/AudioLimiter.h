#pragma once
// The mix's last stage: a peak limiter that keeps the output below full scale, so that a
// busy scene (many explosions at once) is turned down for a moment instead of clipping.
//
// Both channels share one gain, so the stereo image stays. A frame whose peak would pass
// the ceiling turns the gain down at once, exactly as far as needed: no sample ever leaves
// above the ceiling, compared as the float it leaves as. The gain then recovers smoothly
// over the release time. Below the ceiling, and once recovered, the gain is exactly 1: a
// quiet mix passes untouched. A frame with a channel that is not a number, or infinite,
// leaves as silence.
#include <span>

class AudioLimiter {
public:
    // 0.5 dB below full scale.
    static constexpr float kCeiling = 0.944f;
    static constexpr double kReleaseSeconds = 0.15;

    explicit AudioLimiter(int outputRate);

    // Limits interleaved stereo frames in place.
    void process(std::span<float> frames);
    // The gain now (1: not limiting).
    float gain() const { return 1.0f - cut; }

private:
    static float cutFor(float peak, float wanted);

    // The gain's distance below 1: kept rather than the gain itself, so that its last
    // steps back to 1 are not lost to rounding.
    float cut = 0.0f;
    float keep;  // share of the cut left after one frame of recovery
};
