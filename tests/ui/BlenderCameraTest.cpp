#include <gtest/gtest.h>

#include <cmath>

#include "render/Easing.h"
#include "support/HeadlessEngine.h"
#include "ui/BlenderCamera.h"
#include "ui/PointCamera.h"

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

TEST_F(BlenderCameraTest, KeyPointsGlideInTurnAndAnEarlierOneGoesWhenALaterOneArrives) {
    BlenderCamera camera;
    camera.setPosition(0.0f, 0.0f, -400.0f);
    auto* first = new PointCamera(100.0f, 0.0f, -400.0f);
    first->blendCurve = kEaseLinear;
    first->blendTime = 1.0;
    camera.addChild(first);
    camera.postTick(0.0, 0.5);
    EXPECT_FLOAT_EQ(camera.position.x, 50.0f);
    EXPECT_FLOAT_EQ(camera.target.x, 50.0f);
    auto* second = new PointCamera(100.0f, 200.0f, -400.0f);
    second->blendCurve = kEaseLinear;
    second->blendTime = 2.0;
    second->blendDelay = 0.25;
    camera.addChild(second);
    camera.postTick(0.0, 0.25);  // the second waits out its delay
    EXPECT_FLOAT_EQ(camera.position.x, 75.0f);
    EXPECT_FLOAT_EQ(camera.position.y, 0.0f);
    camera.postTick(0.0, 0.25);  // first arrives; second blends from there
    EXPECT_FLOAT_EQ(camera.position.x, 100.0f);
    EXPECT_FLOAT_EQ(camera.position.y, 25.0f);
    EXPECT_EQ(camera.firstChild, first);
    camera.postTick(0.0, 2.0);
    EXPECT_EQ(camera.firstChild, second);  // the first is gone
    EXPECT_EQ(second->next, nullptr);
    camera.postTick(0.0, 1.0);
    EXPECT_FLOAT_EQ(camera.position.x, 100.0f);
    EXPECT_FLOAT_EQ(camera.position.y, 200.0f);
    camera.setPosition(-5.0f, 0.0f, -400.0f);  // a cut drops the glide
    EXPECT_EQ(camera.firstChild, nullptr);
}
