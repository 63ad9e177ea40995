#include "platform/AudioMixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/AudioStreamFifo.h"

namespace {
constexpr double kOne = 4294967296.0;  // 1.0 in 32.32 fixed point
constexpr float kFraction = 1.0f / 4294967296.0f;

// Adds n frames of `source` (C values a frame) resampled from `position` by `step`,
// with gains that move by (gains[2], gains[3]) each frame. The caller guarantees that
// the frame after the last one read exists in `source`.
template <int C>
void addResampled(const float* source, std::uint64_t& position, std::uint64_t step, int n, float* out, float gains[4]) {
    float left = gains[0], right = gains[1];
    const float leftStep = gains[2], rightStep = gains[3];
    std::uint64_t p = position;
    for (int k = 0; k < n; ++k) {
        const float* a = source + static_cast<std::size_t>(p >> 32) * C;
        const float f = static_cast<float>(static_cast<std::uint32_t>(p)) * kFraction;
        if constexpr (C == 1) {
            const float s = a[0] + (a[1] - a[0]) * f;
            out[2 * k] += s * left;
            out[2 * k + 1] += s * right;
        } else {
            out[2 * k] += (a[0] + (a[2] - a[0]) * f) * left;
            out[2 * k + 1] += (a[1] + (a[3] - a[1]) * f) * right;
        }
        left += leftStep;
        right += rightStep;
        p += step;
    }
    position = p;
    gains[0] = left;
    gains[1] = right;
}

void addFrames(int channels, const float* source, std::uint64_t& position, std::uint64_t step, int n, float* out,
               float gains[4]) {
    if (channels == 1)
        addResampled<1>(source, position, step, n, out, gains);
    else
        addResampled<2>(source, position, step, n, out, gains);
}

// How many frames, from `position` on by `step`, read frame indices below `limit`
// (in source frames): the number of k >= 0 with position + k * step < limit << 32.
int framesBelow(std::uint64_t position, std::uint64_t step, std::uint64_t limit, int most) {
    const std::uint64_t end = limit << 32;
    if (position >= end) return 0;
    const std::uint64_t k = (end - 1 - position) / step + 1;
    return static_cast<int>(std::min<std::uint64_t>(k, static_cast<std::uint64_t>(most)));
}
}  // namespace

AudioMixer::AudioMixer(int outputRate)
    : rate(std::max(outputRate, 1)),
      scratch(static_cast<std::size_t>((kBlockFrames + 2) * kMaxRatio + 4) * 2),
      limiter(rate) {}

void AudioMixer::setGroupVolume(AudioVoice::Group group, float volume) {
    volume = std::clamp(volume, 0.0f, 1.0f);
    (group == AudioVoice::Group::kSample ? sampleVolume : streamVolume) = volume;
}

float AudioMixer::groupVolume(AudioVoice::Group group) const {
    return group == AudioVoice::Group::kSample ? sampleVolume : streamVolume;
}

std::int64_t AudioMixer::millisecondsToFrames(int milliseconds) const {
    return (static_cast<std::int64_t>(milliseconds) * rate + 500) / 1000;
}

void AudioMixer::mix(std::span<AudioVoice* const> voices, std::span<float> out) {
    std::fill(out.begin(), out.end(), 0.0f);
    const int frames = static_cast<int>(out.size() / 2);
    for (AudioVoice* voice : voices)
        if (voice && voice->playing) mixVoice(*voice, out.data(), frames);
    limiter.process(out);
}

std::uint64_t AudioMixer::stepFor(const AudioVoice& voice) const {
    const float asked = voice.frequency.value();
    const double hz = asked > 0.0f ? asked : voice.ownRate;
    const double ratio = std::clamp(hz / rate, 1.0 / kOne, kMaxRatio);
    return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::llround(ratio * kOne)));
}

void AudioMixer::gainsAfter(const AudioVoice& voice, std::int64_t frames, float& left, float& right) const {
    const float volume = std::max(voice.volume.valueAfter(frames), 0.0f) * groupVolume(voice.group);
    const float pan = std::clamp(voice.pan.valueAfter(frames), -1.0f, 1.0f);
    if (voice.channels == 1) {
        // Constant power: the two gains' squares always sum to the volume's square.
        const float angle = (pan + 1.0f) * static_cast<float>(std::numbers::pi / 4.0);
        left = volume * std::cos(angle);
        right = volume * std::sin(angle);
    } else {
        // Balance: the far side is turned down, the near side stays as recorded.
        left = volume * (pan > 0.0f ? 1.0f - pan : 1.0f);
        right = volume * (pan < 0.0f ? 1.0f + pan : 1.0f);
    }
}

void AudioMixer::mixVoice(AudioVoice& voice, float* out, int frames) {
    int done = 0;
    while (done < frames && voice.playing) {
        // A block ends where a slide ends, so that a fade-out stops on its exact frame.
        std::int64_t block = std::min(frames - done, kBlockFrames);
        for (const AudioSlide* slide : {&voice.frequency, &voice.volume, &voice.pan})
            if (slide->sliding()) block = std::min(block, slide->framesLeft());
        const int n = static_cast<int>(block);
        float gains[4];
        if (!voice.gainsValid) gainsAfter(voice, 0, voice.gainLeft, voice.gainRight);
        float endLeft, endRight;
        gainsAfter(voice, n, endLeft, endRight);
        gains[0] = voice.gainLeft;
        gains[1] = voice.gainRight;
        gains[2] = (endLeft - gains[0]) / static_cast<float>(n);
        gains[3] = (endRight - gains[1]) / static_cast<float>(n);
        const std::uint64_t step = stepFor(voice);
        float* at = out + 2 * done;
        if (voice.fifo)
            renderStream(voice, at, n, step, gains);
        else
            renderSample(voice, at, n, step, gains);
        voice.gainLeft = endLeft;
        voice.gainRight = endRight;
        voice.gainsValid = true;
        voice.playedFrames += static_cast<std::uint64_t>(n);
        voice.frequency.advance(n);
        voice.pan.advance(n);
        voice.volume.advance(n);
        if (voice.stopWhenFaded && !voice.volume.sliding()) voice.stop();
        done += n;
    }
}

int AudioMixer::renderSample(AudioVoice& voice, float* out, int frames, std::uint64_t step, float gains[4]) {
    const std::uint32_t count = voice.frameCount;
    const int c = voice.channels;
    int done = 0;
    while (done < frames) {
        std::uint64_t index = voice.position >> 32;
        if (index >= count) {
            if (!voice.loop) {
                voice.playing = false;
                voice.finished = true;
                return done;
            }
            voice.position = ((index % count) << 32) | (voice.position & 0xFFFFFFFFu);
            continue;
        }
        // Every frame whose next frame lies inside the sample goes through the fast loop.
        if (const int n = framesBelow(voice.position, step, count - 1, frames - done); n > 0) {
            addFrames(c, voice.frames, voice.position, step, n, out + 2 * done, gains);
            done += n;
            continue;
        }
        // The last frame: it leads into the first (a loop) or into silence.
        float pair[4] = {};
        std::copy_n(voice.frames + static_cast<std::size_t>(index) * c, c, pair);
        if (voice.loop) std::copy_n(voice.frames, c, pair + c);
        std::uint64_t local = voice.position & 0xFFFFFFFFu;
        addFrames(c, pair, local, step, 1, out + 2 * done, gains);
        voice.position += step;
        ++done;
    }
    return done;
}

int AudioMixer::renderStream(AudioVoice& voice, float* out, int frames, std::uint64_t step, float gains[4]) {
    AudioStreamFifo& fifo = *voice.fifo;
    const int c = voice.channels;
    const std::uint32_t available = fifo.available();
    // The frames this block reads: from the present one to the one after the last.
    const std::uint64_t lastNeeded = ((voice.position + static_cast<std::uint64_t>(frames - 1) * step) >> 32) + 1;
    const std::uint64_t copied = std::min<std::uint64_t>(lastNeeded + 1, available);
    fifo.peek(0, scratch.data(), static_cast<std::uint32_t>(copied));
    int n;
    if (lastNeeded < available) {
        n = frames;
    } else if (fifo.ended) {
        // The stream's end leads into silence; the voice ends on its last frame.
        std::fill_n(scratch.data() + copied * c, static_cast<std::size_t>(lastNeeded + 1 - copied) * c, 0.0f);
        n = framesBelow(voice.position, step, available, frames);
    } else {
        // Not decoded far enough (the main thread fell behind): play what there is and
        // wait for the rest in silence.
        n = available > 0 ? framesBelow(voice.position, step, available - 1, frames) : 0;
    }
    addFrames(c, scratch.data(), voice.position, step, n, out, gains);
    const std::uint32_t consumed = static_cast<std::uint32_t>(std::min<std::uint64_t>(voice.position >> 32, available));
    fifo.consume(consumed);
    voice.position -= static_cast<std::uint64_t>(consumed) << 32;
    if (fifo.ended && n < frames && fifo.available() == 0) {
        voice.playing = false;
        voice.finished = true;
    }
    return n;
}
