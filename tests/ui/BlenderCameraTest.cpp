#include <gtest/gtest.h>

#include <cmath>

#include "support/HeadlessEngine.h"
#include "ui/BlenderCamera.h"

using BlenderCameraTest = HeadlessEngine;

TEST_F(BlenderCameraTest, SettingThePositionCutsThereAndDropsKeyPoints) {
    BlenderCamera camera;
    camera.addChild(new QorBase());
    camera.setPosition(10.0f, 216.0f, -400.0f);
    EXPECT_EQ(camera.firstChild, nullptr);
    EXPECT_FLOAT_EQ(camera.home.y, 216.0f);
    EXPECT_FLOAT_EQ(camera.target.y, 216.0f);
    EXPECT_FLOAT_EQ(camera.target.z, 0.0f);
    camera.position.x = 99.0f;
    camera.postTick(0.0, 0.016);
    EXPECT_FLOAT_EQ(camera.position.x, 10.0f);  // with no key points it stays at home
    EXPECT_FLOAT_EQ(camera.eye.x, 10.0f);
}

TEST_F(BlenderCameraTest, AShakeStartsAtItsStrengthAndDiesAwayInItsDuration) {
    BlenderCamera camera;
    camera.shakeDuration = 1.0;
    camera.shakeStrength = 0.2;
    camera.postTick(0.0, 0.0);
    EXPECT_FLOAT_EQ(camera.roll, 0.2f);
    camera.postTick(0.0, 0.5);
    EXPECT_FLOAT_EQ(camera.roll, static_cast<float>(std::cos(16.0) * 0.5 * 0.2));
    camera.postTick(0.0, 0.75);
    EXPECT_FLOAT_EQ(camera.roll, 0.0f);
    camera.roll = 0.3f;
    camera.postTick(0.0, 0.1);
    EXPECT_FLOAT_EQ(camera.roll, 0.3f);  // spent: no longer touched
}
