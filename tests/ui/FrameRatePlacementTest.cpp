#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ui/FrameRatePlacement.h"

namespace {
constexpr float kGap = FrameRatePlacement::kGap;
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The rate's box as the stack makes it on an 800 x 480 screen: 38 x 16 in the top-right corner.
constexpr ViewRect kCorner{360.0f, 238.0f, 398.0f, 222.0f};

ViewRect placed(ViewRect box, const std::vector<ViewRect>& parts) {
    FrameRatePlacement::lowerPast(box, parts);
    return box;
}

// A part of the given bottom across the box's column, reaching above it.
ViewRect partDownTo(float bottom) { return ViewRect{kCorner.left, kCorner.top + 10.0f, kCorner.right, bottom}; }
}  // namespace

// The score under the corner and a label under the score: the box goes below both, and
// no lower, whatever order the screen names them in; what lies beside it or wholly
// below it does not move it.
TEST(FrameRatePlacementTest, TheBoxGoesJustBelowWhatItMeetsInAnyOrder) {
    std::vector<ViewRect> parts = {
        {300.0f, 240.0f, 398.0f, 216.0f},                        // the score
        {250.0f, 209.0f, 420.0f, 185.0f},                        // a label, met once below the score
        {0.0f, 240.0f, kCorner.left - kGap, 100.0f},             // beside it, just beyond the gap
        {350.0f, 185.0f - kGap - 16.0f - kGap, 400.0f, -50.0f},  // below where it ends, just beyond the gap
    };
    std::ranges::sort(parts, {}, &ViewRect::left);
    do {
        const ViewRect box = placed(kCorner, parts);
        EXPECT_EQ(box.top, 185.0f - kGap);
        EXPECT_EQ(box.bottom, 185.0f - kGap - 16.0f);
        EXPECT_EQ(box.left, kCorner.left);
    } while (std::ranges::next_permutation(parts, {}, &ViewRect::left).found);
    EXPECT_EQ(placed(kCorner, {}).top, kCorner.top);
}

// Near 0, (bottom - gap) + gap can round above the bottom: the box still counts as near
// the part it was just moved under. It ends under it all the same, for every bottom.
TEST(FrameRatePlacementTest, TheBoxEndsUnderAPartWhereverRoundingPutsItsBottom) {
    std::vector<float> bottoms = {0.0f, -0.0f, std::numeric_limits<float>::denorm_min(), -1e-30f, 1e-7f, 1.9999999f};
    for (int k = -8000; k <= 2500; ++k) bottoms.push_back(static_cast<float>(k) * 0.001f);
    for (float start : {-3.9f, -1.7f, 0.5f, 1.9f}) {
        float b = start;
        for (int k = 0; k < 2000; ++k) bottoms.push_back(b = std::nextafter(b, kInf));
    }
    for (float bottom : bottoms) {
        const ViewRect part = partDownTo(bottom);
        ViewRect box{kCorner.left, bottom + 3.0f, kCorner.right, bottom - 13.0f};
        FrameRatePlacement::lowerPast(box, {part, part});
        ASSERT_EQ(box.top, bottom - kGap) << bottom;
    }
}

// Not-a-number parts are passed over, infinite ones taken as they come, parts upside
// down handled; the box never rises.
TEST(FrameRatePlacementTest, OddPartsAreTakenWithoutLiftingTheBox) {
    EXPECT_EQ(placed(kCorner, {{kNaN, kNaN, kNaN, kNaN}, partDownTo(kNaN), {360.0f, kNaN, 398.0f, 0.0f}}).top,
              kCorner.top);
    EXPECT_EQ(placed(kCorner, {{-kInf, kInf, kInf, 200.0f}}).top, 200.0f - kGap);
    EXPECT_EQ(placed(kCorner, {partDownTo(-kInf)}).top, -kInf);
    const ViewRect upsideDown{kCorner.left, 226.0f, kCorner.right, 236.0f};
    EXPECT_EQ(placed(kCorner, {upsideDown}).top, 232.0f);
    EXPECT_EQ(placed(kCorner, {{kCorner.left, 300.0f, kCorner.right, 250.0f}}).top, kCorner.top) << "wholly above";
}

// A staircase of parts, each step reaching just into the gap under the one above, so
// that every step moves the box; listed lowest first, highest first and shuffled. The
// box ends under the lowest step, and the work counted grows no faster than n log n.
TEST(FrameRatePlacementTest, AStaircaseIsPlacedWithWorkGrowingAsNLogN) {
    std::mt19937 random(56);
    for (const int n : {1000, 10000, 100000}) {
        std::vector<ViewRect> stairs;
        for (int k = 0; k < n; ++k) {
            const auto top = static_cast<float>(240 - 10 * k);
            stairs.push_back(ViewRect{kCorner.left, top, kCorner.right, top - 8.0f});
        }
        const float lowest = 240.0f - 10.0f * static_cast<float>(n - 1) - 8.0f - kGap;
        const double bound = 2.0 * n * std::log2(n);  // about 1.4 n log2 n is taken
        for (const char* order : {"highest first", "lowest first", "shuffled"}) {
            if (order[0] == 'l') std::ranges::reverse(stairs);
            if (order[0] == 's') std::ranges::shuffle(stairs, random);
            ViewRect box = kCorner;
            std::size_t steps = 0;
            FrameRatePlacement::lowerPast(box, stairs, &steps);
            EXPECT_EQ(box.top, lowest) << n << " " << order;
            EXPECT_LE(static_cast<double>(steps), bound) << n << " " << order;
        }
    }
}
