#pragma once
#include <vector>

#include "ReverbSettings.h"

// Reverb: a stereo room made of parallel damped comb filters followed by
// series all-pass diffusers, the left and right banks slightly detuned so that
// the tail spreads across the stereo field. Delay lengths are tuned at
// 44.1 kHz and scaled to other rates.
class Reverb {
public:
    Reverb(const ReverbSettings& spec, double sampleRate);

    // Wet output for one input sample (mono in, stereo out, no dry signal).
    void process(double in, double& left, double& right);

private:
    struct Comb {
        std::vector<double> line;
        std::size_t pos = 0;
        double store = 0.0;
    };
    struct AllPass {
        std::vector<double> line;
        std::size_t pos = 0;
    };

    double comb(Comb& c, double in) const;
    static double allPass(AllPass& a, double in);

    std::vector<Comb> combsL_, combsR_;
    std::vector<AllPass> passL_, passR_;
    double feedback_;
    double damp_;
    double gain_;
};
