#include "Mastering.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

#include "Filter.h"

double Mastering::loudestWindowDb(const std::vector<float>& samples, int channels, double sampleRate, double window) {
    const std::size_t frames = samples.size() / channels;
    if (frames == 0) return -200.0;
    std::vector<double> power(frames, 0.0);
    for (int c = 0; c < channels; ++c) {
        Filter weight(Filter::Mode::HighPass, sampleRate);
        weight.set(120.0, 0.6);
        for (std::size_t i = 0; i < frames; ++i) {
            const double y = weight.process(samples[i * channels + c]);
            power[i] += y * y;
        }
    }
    const std::size_t win = std::min(frames, std::max<std::size_t>(1, static_cast<std::size_t>(window * sampleRate)));
    const std::size_t hop = std::max<std::size_t>(1, win / 6);
    double best = 0.0;
    for (std::size_t start = 0; start + win <= frames; start += hop) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + win; ++i) sum += power[i];
        best = std::max(best, sum / static_cast<double>(win));
    }
    return best > 0.0 ? 10.0 * std::log10(best) : -200.0;
}

double Mastering::peak(const std::vector<float>& samples) {
    double p = 0.0;
    for (float s : samples) p = std::max(p, static_cast<double>(std::fabs(s)));
    return p;
}

void Mastering::scale(std::vector<float>& samples, double gain) {
    for (float& s : samples) s = static_cast<float>(s * gain);
}

// Contract: computes per frame the gain that keeps that frame under the
// ceiling, spreads each dip backwards over the look-ahead (a running minimum)
// and forwards with an exponential release, then smooths it with a moving
// average as long as the look-ahead, which can only lower the gain further
// (every frame's dip is inside each window that averages it).
void Mastering::limit(std::vector<float>& samples, int channels, double sampleRate, double ceiling) {
    const std::size_t frames = samples.size() / channels;
    if (frames == 0) return;
    std::vector<double> need(frames, 1.0);
    for (std::size_t i = 0; i < frames; ++i) {
        double p = 0.0;
        for (int c = 0; c < channels; ++c) p = std::max(p, static_cast<double>(std::fabs(samples[i * channels + c])));
        if (p > ceiling) need[i] = ceiling / p;
    }
    const std::size_t look = std::max<std::size_t>(1, static_cast<std::size_t>(0.002 * sampleRate));
    std::vector<double> dip(frames, 1.0);
    std::deque<std::size_t> window;  // indexes of increasing need, front = minimum
    for (std::size_t j = frames; j-- > 0;) {
        while (!window.empty() && need[window.back()] >= need[j]) window.pop_back();
        window.push_back(j);
        while (window.front() > j + look) window.pop_front();
        dip[j] = need[window.front()];
    }
    const double release = std::exp(-1.0 / (0.03 * sampleRate));
    double held = 1.0;
    for (std::size_t i = 0; i < frames; ++i) {
        held = std::min(dip[i], 1.0 - (1.0 - held) * release);
        dip[i] = held;
    }
    // Frames before the start count as the first frame's gain: a peak in the
    // first look-ahead must not be averaged with unity gain.
    const double width = static_cast<double>(look + 1);
    double sum = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        sum += dip[i] - (i >= look + 1 ? dip[i - look - 1] : dip[0]);
        const double gain = std::min(1.0, (sum + width * dip[0]) / width);
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = static_cast<float>(samples[i * channels + c] * gain);
    }
}

void Mastering::highPass(std::vector<float>& samples, int channels, double sampleRate, double cutoff) {
    if (cutoff <= 0.0) return;
    const std::size_t frames = samples.size() / channels;
    for (int c = 0; c < channels; ++c) {
        Filter hp(Filter::Mode::HighPass, sampleRate);
        hp.set(cutoff, 0.707);
        for (std::size_t i = 0; i < frames; ++i) {
            float& s = samples[i * channels + c];
            s = static_cast<float>(hp.process(s));
        }
    }
}

void Mastering::crossfadeLoop(std::vector<float>& samples, int channels, std::size_t loopSamples,
                              std::size_t crossfadeSamples) {
    const std::size_t frames = samples.size() / channels;
    crossfadeSamples = std::min({crossfadeSamples, loopSamples, frames - std::min(frames, loopSamples)});
    for (std::size_t i = 0; i < crossfadeSamples; ++i) {
        const double x = (static_cast<double>(i) + 0.5) / static_cast<double>(crossfadeSamples);
        const double in = std::sin(0.5 * std::numbers::pi * x);
        const double out = std::cos(0.5 * std::numbers::pi * x);
        for (int c = 0; c < channels; ++c) {
            float& head = samples[i * channels + c];
            head = static_cast<float>(head * in + samples[(loopSamples + i) * channels + c] * out);
        }
    }
    samples.resize(std::min(frames, loopSamples) * channels);
}

void Mastering::wrapTail(std::vector<float>& samples, int channels, std::size_t loopSamples) {
    const std::size_t frames = samples.size() / channels;
    for (std::size_t i = loopSamples; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[((i - loopSamples) % loopSamples) * channels + c] += samples[i * channels + c];
    samples.resize(std::min(frames, loopSamples) * channels);
}

void Mastering::fadeOut(std::vector<float>& samples, int channels, double sampleRate, double seconds) {
    const std::size_t frames = samples.size() / channels;
    const std::size_t n = std::min(frames, static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = frames - n + k;
        const double g = 1.0 - static_cast<double>(k + 1) / static_cast<double>(n);
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = static_cast<float>(samples[i * channels + c] * g);
    }
}
