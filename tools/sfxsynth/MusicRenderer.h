#pragma once
#include <vector>

#include "Score.h"

// MusicRenderer: renders a Score to interleaved stereo float samples at
// 44.1 kHz that loop seamlessly: whatever rings past the end of the song
// (releases, the room) is added onto its start, so the last sample flows into
// the first. The mix is brought to the score's loudness with peaks under
// -1.5 dBFS.
class MusicRenderer {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr double kTailSeconds = 6.0;

    static std::vector<float> render(const Score& score);

private:
    struct Event {
        const Score::Instrument* instrument;
        double time;  // seconds from the start of the song
        double gate;  // seconds held
        double frequency;
        double velocity;
    };

    static std::vector<Event> schedule(const Score& score);
    static void play(const Event& event, std::uint64_t seed, std::vector<float>& dry, std::vector<float>& send);
    static void master(const Score& score, std::vector<float>& mix);
};
