#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Filter.h"

namespace {

constexpr double kRate = 44100.0;

// Steady-state amplitude of a sine after the filter.
double gainAt(Filter::Mode mode, double cutoff, double freq) {
    Filter f(mode, kRate);
    f.set(cutoff, 0.707);
    double peak = 0.0;
    for (int i = 0; i < 44100; ++i) {
        const double y = f.process(std::sin(2.0 * std::numbers::pi * freq * i / kRate));
        if (i > 22050) peak = std::max(peak, std::fabs(y));
    }
    return peak;
}

TEST(FilterTest, LowPassPassesBelowAndCutsAboveTheCutoff) {
    EXPECT_NEAR(gainAt(Filter::Mode::LowPass, 1000.0, 100.0), 1.0, 0.02);
    EXPECT_NEAR(gainAt(Filter::Mode::LowPass, 1000.0, 1000.0), 0.707, 0.02);
    EXPECT_LT(gainAt(Filter::Mode::LowPass, 1000.0, 10000.0), 0.02);
}

TEST(FilterTest, HighPassIsTheMirror) {
    EXPECT_LT(gainAt(Filter::Mode::HighPass, 1000.0, 100.0), 0.02);
    EXPECT_NEAR(gainAt(Filter::Mode::HighPass, 1000.0, 10000.0), 1.0, 0.02);
}

TEST(FilterTest, StaysStableWhileTheCutoffSweepsEverySampleAndAtExtremes) {
    Filter f(Filter::Mode::LowPass, kRate);
    double y = 0.0;
    for (int i = 0; i < 44100; ++i) {
        f.set(i % 2 ? 1e6 : -5.0, i % 3 ? 20.0 : 0.0);  // out-of-range values are clamped
        y = f.process(i % 50 < 25 ? 1.0 : -1.0);
        ASSERT_TRUE(std::isfinite(y));
        ASSERT_LT(std::fabs(y), 100.0);
    }
}

}  // namespace
