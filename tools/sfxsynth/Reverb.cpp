#include "Reverb.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<int, 8> kCombs{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<int, 4> kPasses{556, 441, 341, 225};
constexpr int kSpread = 23;
}  // namespace

Reverb::Reverb(const ReverbSettings& spec, double sampleRate) {
    const double scale = sampleRate / 44100.0;
    auto len = [scale](int samples) { return static_cast<std::size_t>(std::max(1.0, samples * scale)); };
    for (int c : kCombs) {
        combsL_.push_back({std::vector<double>(len(c), 0.0)});
        combsR_.push_back({std::vector<double>(len(c + kSpread), 0.0)});
    }
    for (int a : kPasses) {
        passL_.push_back({std::vector<double>(len(a), 0.0)});
        passR_.push_back({std::vector<double>(len(a + kSpread), 0.0)});
    }
    feedback_ = 0.7 + 0.28 * std::clamp(spec.size, 0.0, 1.0);
    damp_ = 0.4 * std::clamp(spec.damp, 0.0, 1.0);
    gain_ = 0.015 * 3.0 * std::clamp(spec.mix, 0.0, 1.0);
}

double Reverb::comb(Comb& c, double in) const {
    const double out = c.line[c.pos];
    c.store = out * (1.0 - damp_) + c.store * damp_;
    c.line[c.pos] = in + c.store * feedback_;
    if (++c.pos == c.line.size()) c.pos = 0;
    return out;
}

double Reverb::allPass(AllPass& a, double in) {
    const double delayed = a.line[a.pos];
    a.line[a.pos] = in + delayed * 0.5;
    if (++a.pos == a.line.size()) a.pos = 0;
    return delayed - in;
}

void Reverb::process(double in, double& left, double& right) {
    const double x = in * gain_;
    double l = 0.0, r = 0.0;
    for (auto& c : combsL_) l += comb(c, x);
    for (auto& c : combsR_) r += comb(c, x);
    for (auto& a : passL_) l = allPass(a, l);
    for (auto& a : passR_) r = allPass(a, r);
    left = l;
    right = r;
}
