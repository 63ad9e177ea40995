#include "platform/AudioVoice.h"

void AudioVoice::play(bool restart) {
    if (playing && !restart) return;
    if (restart) position = 0;
    playing = true;
    finished = false;
    playedFrames = 0;
    // A voice starts at its present gains rather than ramping over from old ones.
    gainsValid = false;
}

void AudioVoice::stop() {
    playing = false;
    stopWhenFaded = false;
}
