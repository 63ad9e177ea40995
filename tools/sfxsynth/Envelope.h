#pragma once

// Envelope: an attack-hold-decay-sustain-release amplitude envelope, advanced
// one sample at a time. Levels are linear gains in [0, 1].
//
// Contract:
// - attack rises linearly from 0 to 1 (an attack of 0 starts at full level:
//   wanted for deliberately sharp clicks);
// - decay falls exponentially toward `sustain`, reaching it within 1/1000 of the
//   range after `decay` seconds;
// - noteOff() at any time (even during the attack) releases from the level the
//   envelope has reached, so the output never jumps (release is at least
//   1 ms for the same reason);
// - release falls exponentially from that level and is exactly 0 from
//   `release` seconds after noteOff() on (finished() turns true).
class Envelope {
public:
    struct Shape {
        double attack = 0.002;  // seconds
        double hold = 0.0;      // seconds at full level after the attack
        double decay = 0.0;     // seconds; 0 = no decay stage (stays at 1)
        double sustain = 1.0;   // level held while the gate is open
        double release = 0.05;  // seconds after noteOff
    };

    Envelope(const Shape& shape, double sampleRate);

    double next();
    void noteOff();
    bool finished() const { return stage_ == Stage::Done; }
    double level() const { return level_; }

private:
    enum class Stage { Attack, Hold, Decay, Sustain, Release, Done };

    void enterAfterAttack();

    Shape shape_;
    double sampleRate_;
    Stage stage_ = Stage::Attack;
    double level_ = 0.0;
    long samplesInStage_ = 0;
    double decayCoef_ = 0.0;
    double releaseCoef_ = 0.0;
};
