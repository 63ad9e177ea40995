#pragma once
// A stream in the audio layer: a source decoded a little at a time into a fifo that
// its voice plays from. Looping streams go back to the source's start when it ends, so
// the fifo holds one seamless run of frames across the loop point.
//
// Threads: the source and `pending` belong to the main thread and are used outside the
// audio system's lock (decoding is slow); the fifo and the voice are shared with the
// output callback and touched only under that lock.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AudioSource.h"
#include "platform/AudioStreamFifo.h"
#include "platform/AudioVoice.h"

class AudioStream {
public:
    // The fifo holds this many seconds of the source at most.
    static constexpr double kFifoSeconds = 2.0;

    AudioStream(std::unique_ptr<AudioSource> source, bool loop);

    // Main thread, no lock: decodes up to `frames` more frames onto `pending`.
    void decodeAhead(std::uint32_t frames);
    // Under the lock: moves `pending` into the fifo, as much as fits.
    void commitPending();
    // Main thread, no lock: moves the source to `frame` and decodes the first frames
    // from there into a fresh `pending`. Follow with restartAt under the lock.
    bool prepareAt(std::uint64_t frame, std::uint32_t prefillFrames);
    // Under the lock: drops the fifo and plays on from the frame given to prepareAt.
    void restartAt();

    // Under the lock: the source frame now being played.
    std::uint64_t playFrame() const;
    std::uint64_t lengthFrames() const { return source->lengthFrames(); }
    // Bytes of decoded data a frame counts for in positions and lengths.
    std::uint32_t bytesPerFrame() const { return static_cast<std::uint32_t>(source->channels() * sizeof(float)); }
    std::uint32_t framesFor(double seconds) const;
    // Main thread: frames decoded and not yet in the fifo.
    std::uint32_t pendingFrames() const { return static_cast<std::uint32_t>(pending.size() / source->channels()); }

    std::unique_ptr<AudioSource> source;
    AudioStreamFifo fifo;
    AudioVoice voice;
    bool loop;

private:
    std::vector<float> pending;    // decoded, not yet in the fifo
    bool pendingEnds = false;      // the source ended (no loop) after `pending`
    bool sourceEnded = false;      // nothing more comes from the source
    std::uint64_t startFrame = 0;  // source frame of the first frame after the last restart
    std::uint64_t nextStart = 0;   // the frame given to prepareAt
};
