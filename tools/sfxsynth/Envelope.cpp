#include "Envelope.h"

#include <algorithm>
#include <cmath>

namespace {
// ln(1000): an exponential segment covers 60 dB of its range in its time.
constexpr double kSixtyDb = 6.907755278982137;

double coefFor(double seconds, double sampleRate) {
    if (seconds <= 0.0) return 0.0;
    return std::exp(-kSixtyDb / (seconds * sampleRate));
}
}  // namespace

Envelope::Envelope(const Shape& shape, double sampleRate) : shape_(shape), sampleRate_(sampleRate) {
    shape_.sustain = std::clamp(shape_.sustain, 0.0, 1.0);
    // A release shorter than a millisecond is an audible click at note-off.
    shape_.release = std::max(shape_.release, 0.001);
    decayCoef_ = coefFor(shape_.decay, sampleRate);
    releaseCoef_ = coefFor(shape_.release, sampleRate);
    if (shape_.attack <= 0.0) {
        level_ = 1.0;
        enterAfterAttack();
    }
}

void Envelope::enterAfterAttack() {
    samplesInStage_ = 0;
    if (shape_.hold > 0.0)
        stage_ = Stage::Hold;
    else if (shape_.decay > 0.0)
        stage_ = Stage::Decay;
    else
        stage_ = Stage::Sustain;
    if (stage_ == Stage::Sustain && shape_.decay <= 0.0) level_ = 1.0;
}

double Envelope::next() {
    const double out = level_;
    ++samplesInStage_;
    switch (stage_) {
        case Stage::Attack:
            level_ = std::min(1.0, samplesInStage_ / (shape_.attack * sampleRate_));
            if (level_ >= 1.0) enterAfterAttack();
            break;
        case Stage::Hold:
            if (samplesInStage_ >= shape_.hold * sampleRate_) {
                samplesInStage_ = 0;
                stage_ = shape_.decay > 0.0 ? Stage::Decay : Stage::Sustain;
            }
            break;
        case Stage::Decay:
            level_ = shape_.sustain + (level_ - shape_.sustain) * decayCoef_;
            break;
        case Stage::Sustain:
            break;
        case Stage::Release:
            level_ *= releaseCoef_;
            if (samplesInStage_ >= shape_.release * sampleRate_) {
                level_ = 0.0;
                stage_ = Stage::Done;
            }
            break;
        case Stage::Done:
            level_ = 0.0;
            break;
    }
    return out;
}

void Envelope::noteOff() {
    if (stage_ == Stage::Release || stage_ == Stage::Done) return;
    samplesInStage_ = 0;
    stage_ = Stage::Release;
}
