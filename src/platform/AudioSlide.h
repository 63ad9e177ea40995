#pragma once
// One attribute of a playing channel (frequency, volume or pan) that can move linearly
// from its value to a target over a number of output frames. A new slide or a plain
// set replaces the one running. Frames are frames of the mixer's output.
#include <cstdint>

class AudioSlide {
public:
    explicit AudioSlide(float value = 0.0f) : from(value), to(value) {}

    // Sets the value at once and ends any slide.
    void set(float value);
    // Slides from the present value to `target` over `frames`; 0 or less sets at once.
    void slideTo(float target, std::int64_t frames);
    // Moves the slide on by `frames`; the value stops at the target.
    void advance(std::int64_t frames);

    float value() const { return valueAfter(0); }
    // The value `frames` from now, the target once the slide would be over.
    float valueAfter(std::int64_t frames) const;
    bool sliding() const { return elapsed < total; }
    // Frames until the target is reached; 0 when not sliding.
    std::int64_t framesLeft() const { return total - elapsed; }
    float target() const { return to; }

private:
    float from;
    float to;
    std::int64_t total = 0;    // frames of the whole slide
    std::int64_t elapsed = 0;  // frames of it gone by
};
