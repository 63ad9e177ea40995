#include "platform/AudioStream.h"

#include <algorithm>

namespace {
// Damaged data is skipped this many times before the stream is taken as ended.
constexpr int kMaxReadErrors = 8;
}  // namespace

AudioStream::AudioStream(std::unique_ptr<AudioSource> s, bool looping)
    : source(std::move(s)),
      fifo(source->channels(), static_cast<std::uint32_t>(source->rate() * kFifoSeconds)),
      loop(looping) {
    voice.group = AudioVoice::Group::kStream;
    voice.fifo = &fifo;
    voice.channels = source->channels();
    voice.ownRate = static_cast<float>(source->rate());
}

std::uint32_t AudioStream::framesFor(double seconds) const {
    return static_cast<std::uint32_t>(std::min(seconds, kFifoSeconds) * source->rate());
}

void AudioStream::decodeAhead(std::uint32_t frames) {
    const int c = source->channels();
    const std::size_t old = pending.size();
    pending.resize(old + static_cast<std::size_t>(frames) * c);
    std::uint32_t got = 0;
    bool justLooped = false;
    int errors = 0;
    while (got < frames && !sourceEnded) {
        const std::int64_t n = source->read(pending.data() + old + static_cast<std::size_t>(got) * c, frames - got);
        if (n > 0) {
            got += static_cast<std::uint32_t>(n);
            justLooped = false;
            continue;
        }
        if (n < 0 && ++errors < kMaxReadErrors) continue;
        // The end: a loop goes on from the start, unless the start gives nothing either
        // (an empty or unreadable source would otherwise spin here for ever).
        if (loop && n == 0 && !justLooped && source->seek(0)) {
            justLooped = true;
            continue;
        }
        sourceEnded = true;
        pendingEnds = true;
    }
    pending.resize(old + static_cast<std::size_t>(got) * c);
}

void AudioStream::commitPending() {
    const int c = source->channels();
    const std::uint32_t frames = static_cast<std::uint32_t>(pending.size() / c);
    const std::uint32_t written = fifo.write(pending.data(), frames);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(written) * c);
    if (pending.empty() && pendingEnds) fifo.ended = true;
}

bool AudioStream::prepareAt(std::uint64_t frame, std::uint32_t prefillFrames) {
    pending.clear();
    pendingEnds = sourceEnded = false;
    nextStart = std::min(frame, source->lengthFrames());
    if (!source->seek(nextStart)) return false;
    decodeAhead(prefillFrames);
    return true;
}

void AudioStream::restartAt() {
    fifo.clear();
    startFrame = nextStart;
    voice.position = 0;
    commitPending();
}

std::uint64_t AudioStream::playFrame() const {
    const std::uint64_t length = source->lengthFrames();
    const std::uint64_t frame = startFrame + fifo.consumedTotal + (voice.position >> 32);
    if (length == 0) return 0;
    return loop ? frame % length : std::min(frame, length);
}
