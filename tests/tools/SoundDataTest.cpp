// Decodes every sound file the loading screen asks for, as rendered into the
// data staging folder by the build, and checks what a player would hear:
// the right format, a fitting length, no clipping, no silence and, for the
// sounds that loop, a seam without a click. Prints duration, RMS and peak of
// each file as a listening check by measurement.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Expected {
    const char* path;
    int channels;
    bool loops;
    double minSeconds;
    double maxSeconds;
};

// What each file accompanies sets its length: sounds that repeat quickly
// (shots, hits, clicks) stay short, the whistle of a bomb falling from the
// top of the screen lasts its fall, the drum roll outlasts the rating bar.
const Expected kFiles[] = {
    {"sfx/clickXP.ogg", 1, false, 0.02, 0.3},
    {"sfx/pop.ogg", 1, false, 0.02, 0.3},
    {"xmas-edition/sfx/rot5loo1.ogg", 1, true, 0.5, 5.0},
    {"xmas-edition/sfx/ovrevlp1.ogg", 1, true, 0.5, 5.0},
    {"sfx/ovrevlp1.ogg", 1, true, 0.5, 5.0},
    {"sfx/arc2.ogg", 1, true, 0.5, 5.0},
    {"sfx/bmbwstl2.ogg", 1, false, 2.5, 3.5},
    {"sfx/bmbwstl2short.ogg", 1, false, 0.6, 2.0},
    {"sfx/cannonfire.ogg", 1, false, 0.2, 1.5},
    {"sfx/laserFire.ogg", 1, false, 0.1, 1.0},
    {"sfx/laserHit.ogg", 1, false, 0.1, 1.0},
    {"sfx/lightninghit.ogg", 1, false, 0.05, 0.4},
    {"sfx/splash.ogg", 1, false, 0.2, 1.5},
    {"sfx/planesplash.ogg", 1, false, 0.8, 3.0},
    {"sfx/fireworklaunch.ogg", 1, false, 0.5, 2.5},
    {"sfx/fireworkbang.ogg", 1, false, 0.5, 3.0},
    {"xmas-edition/sfx/planehit(ricocnvs).ogg", 1, false, 0.1, 1.5},
    {"sfx/spanloo.ogg", 1, false, 0.05, 0.5},
    {"sfx/firetree.ogg", 1, false, 0.8, 4.0},
    {"sfx/engnxploshort.ogg", 1, false, 0.5, 2.5},
    {"sfx/fx113.ogg", 1, false, 1.5, 6.0},
    {"sfx/balloonPop.ogg", 1, false, 0.05, 1.0},
    {"sfx/bubbles.ogg", 1, false, 0.05, 0.6},
    {"sfx/bubbleburst.ogg", 1, false, 0.03, 0.6},
    {"sfx/deflate.ogg", 1, false, 0.5, 3.0},
    {"sfx/waterExit.ogg", 1, false, 0.2, 2.0},
    {"sfx/missilelaunch.ogg", 1, false, 0.2, 2.0},
    {"sfx/missilehit.ogg", 1, false, 0.2, 2.0},
    {"sfx/kamikazeentry.ogg", 1, false, 1.0, 4.0},
    {"sfx/ballisticentry(gp32).ogg", 1, false, 1.0, 4.0},
    {"sfx/rot5loo1fade.ogg", 1, false, 1.0, 5.0},
    {"sfx/propelledbombentry.ogg", 1, false, 0.5, 4.0},
    {"sfx/bomberdropbomb.ogg", 1, false, 0.1, 1.5},
    {"sfx/crateBreak.ogg", 1, false, 0.1, 1.5},
    {"sfx/nyuck.ogg", 1, false, 0.3, 2.0},
    {"sfx/levelup.ogg", 1, false, 0.3, 2.0},
    {"sfx/leveldown.ogg", 1, false, 0.3, 2.0},
    {"sfx/drum_roll_1.ogg", 1, false, 5.5, 10.0},
    {"sfx/cymbalcrash.ogg", 1, false, 1.0, 5.0},
    {"sfx/lackerol3.ogg", 1, false, 0.1, 1.0},
    {"sfx/lackerol3lower.ogg", 1, false, 0.1, 1.0},
    {"xmas-edition/sfx/music/menu.ogg", 2, true, 60.0, 240.0},
    {"xmas-edition/sfx/music/game.ogg", 2, true, 60.0, 240.0},
};

struct Decoded {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<float> samples;  // interleaved
};

Decoded decode(const std::string& path) {
    Decoded d;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return d;
    const vorbis_info* info = ov_info(&file, -1);
    d.channels = info->channels;
    d.rate = info->rate;
    float** pcm = nullptr;
    int section = 0;
    for (long n; (n = ov_read_float(&file, &pcm, 4096, &section)) > 0;)
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
    ov_clear(&file);
    d.ok = true;
    return d;
}

double toDb(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

// The largest step between neighbouring samples of a channel that the
// signal itself takes in 99 cases of 100.
double typicalLargeStep(const Decoded& d, int channel) {
    const std::size_t frames = d.samples.size() / d.channels;
    std::vector<float> steps;
    for (std::size_t i = 1; i < frames; ++i)
        steps.push_back(std::fabs(d.samples[i * d.channels + channel] - d.samples[(i - 1) * d.channels + channel]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    return steps[steps.size() * 99 / 100];
}

// gtest prints parameters in test listings; the path says it all.
void PrintTo(const Expected& e, std::ostream* os) { *os << e.path; }

std::vector<Expected> loopingFiles() {
    std::vector<Expected> loops;
    for (const Expected& e : kFiles)
        if (e.loops) loops.push_back(e);
    return loops;
}

// Loudness as the ear roughly hears it: the loudest 300 ms (the whole file
// when shorter) after a first-order high-pass at 120 Hz, which discounts deep
// bass the way small speakers and ears do.
double loudnessDb(const Decoded& d) {
    const std::size_t frames = d.samples.size() / d.channels;
    const double k = std::exp(-2.0 * 3.14159265358979 * 120.0 / d.rate);
    std::vector<double> power(frames, 0.0);
    for (int c = 0; c < d.channels; ++c) {
        double lastIn = 0.0, lastOut = 0.0;
        for (std::size_t i = 0; i < frames; ++i) {
            const double in = d.samples[i * d.channels + c];
            lastOut = k * (lastOut + in - lastIn);
            lastIn = in;
            power[i] += lastOut * lastOut;
        }
    }
    const std::size_t window = std::min<std::size_t>(frames, static_cast<std::size_t>(0.3 * d.rate));
    double sum = 0.0, best = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        sum += power[i];
        if (i >= window) sum -= power[i - window];
        if (i + 1 >= window) best = std::max(best, sum / window);
    }
    return 10.0 * std::log10(std::max(best, 1e-24));
}

class SoundDataTest : public ::testing::TestWithParam<Expected> {};
class LoopingSoundDataTest : public ::testing::TestWithParam<Expected> {};

TEST_P(SoundDataTest, FileIsRightAndAudibleWithoutClipping) {
    const Expected& e = GetParam();
    const Decoded d = decode(std::string(TORVANE_DATASTAGE_DIR) + "/" + e.path);
    ASSERT_TRUE(d.ok) << e.path << " is missing or not Ogg Vorbis";
    EXPECT_EQ(d.channels, e.channels) << e.path;
    EXPECT_EQ(d.rate, 44100) << e.path;
    ASSERT_FALSE(d.samples.empty()) << e.path;
    const double seconds = static_cast<double>(d.samples.size() / d.channels) / d.rate;
    double peak = 0.0, power = 0.0;
    for (float s : d.samples) {
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
        power += static_cast<double>(s) * s;
    }
    const double rms = std::sqrt(power / d.samples.size());
    const double loudness = loudnessDb(d);
    std::printf("%-42s %6.2f s  RMS %6.1f dBFS  peak %5.1f dBFS  loudness %6.1f dBFS\n", e.path, seconds, toDb(rms),
                toDb(peak), loudness);
    EXPECT_GE(seconds, e.minSeconds) << e.path;
    EXPECT_LE(seconds, e.maxSeconds) << e.path;
    EXPECT_LE(toDb(peak), -1.0) << e.path << " comes too close to clipping";
    EXPECT_GT(toDb(rms), -40.0) << e.path << " is nearly silent";
    if (e.channels == 1) {
        // Effects sit in one band of loudness: the quietest are the tiny
        // clicks and the hits that repeat many times a second.
        EXPECT_GE(loudness, -26.0) << e.path << " is much quieter than the other effects";
        EXPECT_LE(loudness, -12.0) << e.path << " is much louder than the other effects";
    } else {
        // Music stays under the effects.
        EXPECT_LE(toDb(rms), -20.0) << e.path << " would drown the effects";
    }
}

TEST_P(LoopingSoundDataTest, LoopSeamIsNoLargerThanTheSignalsOwnSteps) {
    const Expected& e = GetParam();
    const Decoded d = decode(std::string(TORVANE_DATASTAGE_DIR) + "/" + e.path);
    ASSERT_TRUE(d.ok && !d.samples.empty()) << e.path;
    const std::size_t last = d.samples.size() / d.channels - 1;
    for (int c = 0; c < d.channels; ++c) {
        const double seam = std::fabs(d.samples[last * d.channels + c] - d.samples[c]);
        EXPECT_LE(seam, typicalLargeStep(d, c)) << e.path << " clicks at its loop point (channel " << c << ")";
    }
}

std::string testName(const ::testing::TestParamInfo<Expected>& info) {
    std::string name = info.param.path;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryLoadedFile, SoundDataTest, ::testing::ValuesIn(kFiles), testName);
INSTANTIATE_TEST_SUITE_P(EveryLoopingFile, LoopingSoundDataTest, ::testing::ValuesIn(loopingFiles()), testName);

}  // namespace
