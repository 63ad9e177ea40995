#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/Spring.h"
#include "support/HeadlessEngine.h"

namespace {
using SpringTest = HeadlessEngine;

// The palm's settings.
void makePalmSpring(Spring& s) {
    s.mass = 0.01f;
    s.damping = 2.0f;
}
}  // namespace

TEST_F(SpringTest, OneStepFromADisplacementPullsBackByTheSpringForce) {
    Spring s;
    makePalmSpring(s);
    s.position.x = 1.0f;
    s.update(0.0, 0.01);
    EXPECT_FLOAT_EQ(s.velocity.x, -1.0f);
    EXPECT_FLOAT_EQ(s.position.x, 0.99f);
    EXPECT_FLOAT_EQ(s.force.x, 0.0f);  // the integration consumed it
}

TEST_F(SpringTest, DampingThatWouldReverseTheVelocityStopsTheMassInstead) {
    Spring s;
    makePalmSpring(s);
    s.velocity.x = 100.0f;
    s.update(0.0, 0.6);  // damping x dt = 1.2
    // Only the spring force of the (zero) displacement is left: the mass stands still.
    EXPECT_FLOAT_EQ(s.velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(s.position.x, 0.0f);
}

TEST_F(SpringTest, AKickSwingsAboutTheAnchorWithFallingAmplitude) {
    Spring s;
    makePalmSpring(s);
    s.anchor = Vector3{5.0f, 0.0f, 0.0f};
    s.position = s.anchor;
    s.velocity.x = 192.0f;
    std::vector<float> peaks;  // the largest displacement of each swing to one side
    float peak = 0.0f;
    float last = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        s.update(0.0, 1.0 / 120.0);
        const float d = s.position.x - s.anchor.x;
        if (frame > 0 && (d < 0.0f) != (last < 0.0f)) {
            peaks.push_back(peak);
            peak = 0.0f;
        }
        peak = std::max(peak, std::fabs(d));
        last = d;
    }
    ASSERT_GE(peaks.size(), 6u);
    for (std::size_t i = 1; i < peaks.size(); ++i) EXPECT_LT(peaks[i], peaks[i - 1]) << "swing " << i;
    EXPECT_LT(std::fabs(s.position.x - s.anchor.x), 0.5f);
}
