#pragma once
// The program's mix as it would be heard, taken by the test instead of the sound card.
// The output device (SDL's dummy driver, which always opens) is held paused, and the test
// renders the mix straight from the audio layer, a fixed stretch after each of the
// program's frames: what is recorded follows the frames, however fast or slow the
// machine runs them. The samples are the mixer's own (32-bit floats, interleaved stereo).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "inputaudio/QorAudio.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSystem.h"

class MixRecording {
public:
    // From here on the audio driver that starts is SDL's dummy driver.
    void begin() {
        if (const char* was = std::getenv("SDL_AUDIODRIVER")) driver = was;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // Puts the audio driver back as the process had it.
    void end() {
        if (driver.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    }
    // Holds the output: from here on the mix moves only as record() takes it, until the
    // output is started again (release(), a game's end, the window's focus regained).
    static void hold() { QorAudio::library().pause(); }
    static void release() { QorAudio::library().start(); }
    // Runs `frame` (one of the program's frames, or an audio update) and takes `step`
    // seconds of the mix after each, until `seconds` of it are taken; returns them.
    template <class F>
    static std::vector<float> record(double seconds, double step, F frame) {
        hold();
        AudioInfo info;
        QorAudio::library().getInfo(info);
        const double rate = info.freq;
        const auto total = static_cast<std::size_t>(std::llround(seconds * rate));
        std::vector<float> out(2 * total);
        std::size_t taken = 0;
        for (int n = 1; taken < total; ++n) {
            frame();
            const std::size_t due = std::min(total, static_cast<std::size_t>(std::llround(n * step * rate)));
            QorAudio::library().render(out.data() + 2 * taken, static_cast<int>(due - taken));
            taken = due;
        }
        return out;
    }
    // The root mean square of `samples`, both channels together; -1 for none.
    static float rms(const std::vector<float>& samples) {
        double sum = 0.0;
        for (float s : samples) sum += static_cast<double>(s) * s;
        return samples.empty() ? -1.0f : static_cast<float>(std::sqrt(sum / static_cast<double>(samples.size())));
    }

private:
    std::string driver;  // the audio driver the process had before
};
