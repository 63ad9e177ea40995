#include <gtest/gtest.h>

#include "game/ArmedGame.h"

using WeaponButtonTest = ArmedGame;
#include "game/WeaponButton.h"

TEST_F(WeaponButtonTest, ALabelSlidesInFromTheOuterSideAndSlowsAsItArrives) {
    for (int side : {0, 1}) {
        WeaponButton label(side, 0, side == 1, u"Laser");
        EXPECT_FLOAT_EQ(label.position.y, WeaponButton::kHiddenY);
        label.restPosition = Vector3{100.0f, 50.0f, 0.0f};
        const float start = side == 0 ? -92.0f : 292.0f;
        label.tick(0.0, 0.5);  // ease-out: three quarters of the way in half the time
        EXPECT_FLOAT_EQ(label.position.x, start + (100.0f - start) * 0.75f);
        EXPECT_FLOAT_EQ(label.position.y, 50.0f);
        label.tick(0.0, 0.75);
        EXPECT_FLOAT_EQ(label.position.x, 100.0f);
    }
}
