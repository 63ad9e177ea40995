// Mixes 32 playing channels, each resampled and panned (half of them sliding their pan
// and volume), for 60 seconds of 44.1 kHz output in 1024-frame blocks as the output
// callback would, and reports the time taken as a share of those 60 seconds: the
// mixer's load on one core. The budget is 1%.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "platform/AudioMixer.h"

namespace {

constexpr int kOutputRate = 44100;
constexpr int kChannels = 32;
constexpr int kSeconds = 60;
constexpr int kBlock = 1024;

struct Scene {
    std::vector<std::vector<float>> sources;
    std::vector<AudioVoice> voices;
    std::vector<AudioVoice*> pointers;
};

Scene makeScene(const AudioMixer& mixer) {
    Scene scene;
    scene.sources.resize(kChannels);
    scene.voices.resize(kChannels);
    for (int i = 0; i < kChannels; ++i) {
        const int channels = i % 3 == 0 ? 2 : 1;
        const int rate = i % 2 ? 22050 : 44100;
        std::vector<float>& s = scene.sources[i];
        s.resize(static_cast<std::size_t>(rate) * channels);  // one second, looped
        for (std::size_t k = 0; k < s.size(); ++k) {
            const std::size_t frame = k / channels;
            s[k] = 0.1f * static_cast<float>(
                              std::sin(2.0 * std::numbers::pi * (200.0 + 37 * i) * static_cast<double>(frame) / rate));
        }
        AudioVoice& v = scene.voices[i];
        v.frames = s.data();
        v.frameCount = static_cast<std::uint32_t>(s.size() / channels);
        v.channels = channels;
        v.loop = true;
        v.ownRate = static_cast<float>(rate);
        // Pitch factors from 0.6 to 1.9: no channel plays at the output rate unchanged.
        v.frequency.set(static_cast<float>(rate) * (0.6f + 1.3f * static_cast<float>(i) / kChannels));
        v.pan.set(-0.9f + 1.8f * static_cast<float>(i) / kChannels);
        if (i % 2) {
            v.pan.slideTo(-v.pan.value(), mixer.millisecondsToFrames(kSeconds * 1000));
            v.volume.slideTo(0.2f, mixer.millisecondsToFrames(kSeconds * 1000));
        }
        v.play(true);
        scene.pointers.push_back(&v);
    }
    return scene;
}

void BM_Mix32ChannelsFor60Seconds(benchmark::State& state) {
    double best = 1e9;
    for (auto _ : state) {
        state.PauseTiming();
        AudioMixer mixer(kOutputRate);
        Scene scene = makeScene(mixer);
        std::vector<float> out(2 * kBlock);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        for (int done = 0; done < kOutputRate * kSeconds; done += kBlock) {
            mixer.mix(scene.pointers, out);
            benchmark::DoNotOptimize(out.data());
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double share = best / kSeconds * 100.0;
    state.counters["share_of_one_core_%"] = share;
    std::printf("Mixing %d channels for %d s of audio took %.1f ms: %.3f%% of one core (budget 1%%).\n", kChannels,
                kSeconds, best * 1000.0, share);
}

BENCHMARK(BM_Mix32ChannelsFor60Seconds)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
