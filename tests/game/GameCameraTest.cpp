#include <gtest/gtest.h>

#include "game/GameCamera.h"
#include "support/GameTestEngine.h"

TEST(GameCamera, FramesBothVehiclesAndZoomsWithHysteresis) {
    GameTestEngine engine;
    engine.startGame();
    GameCamera camera;
    const Vector3 home = camera.position;
    camera.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(camera.position.x, home.x);  // no vehicles: it stays
    StandInVehiclePlayer& a = engine.giveVehicle(0);
    StandInVehiclePlayer& b = engine.giveVehicle(1);
    a.at = Vector3{-350.0f, 100.0f, 0.0f};
    b.at = Vector3{350.0f, 100.0f, 0.0f};
    camera.tick(0.0, 0.0);
    EXPECT_EQ(camera.zoomedOut, 1);
    EXPECT_FLOAT_EQ(camera.targetDistance, -640.0f);
    EXPECT_FLOAT_EQ(camera.position.x, 0.0f);
    EXPECT_FLOAT_EQ(camera.position.y, 100.0f);
    for (int i = 0; i < 4; ++i) camera.tick(0.0, 0.25);
    EXPECT_FLOAT_EQ(camera.position.z, -640.0f);  // pulled back over one second
    // Between the two thresholds nothing changes; below the lower one it comes in.
    a.at.x = -300.0f;
    b.at.x = 300.0f;  // box 728
    camera.tick(0.0, 0.25);
    EXPECT_EQ(camera.zoomedOut, 1);
    a.at.x = -200.0f;
    b.at.x = 250.0f;  // box 578
    camera.tick(0.0, 0.25);
    EXPECT_EQ(camera.zoomedOut, 1);
    b.at.x = 240.0f;  // box 568
    camera.tick(0.0, 0.0);
    EXPECT_EQ(camera.zoomedOut, 0);
    EXPECT_FLOAT_EQ(camera.startDistance, -640.0f);
    camera.tick(0.0, 1.0);
    EXPECT_FLOAT_EQ(camera.position.z, -320.0f);
    // A tall box counts by the width it needs, and the view stays above the sea bed.
    a.at = Vector3{0.0f, -20.0f, 0.0f};
    b.at = Vector3{0.0f, 400.0f, 0.0f};
    camera.tick(0.0, 0.0);
    EXPECT_EQ(camera.zoomedOut, 1);
    a.at.y = b.at.y = -30.0f;
    camera.zoomedOut = 0;
    camera.zoomProgress = 1.0f;
    camera.startDistance = camera.targetDistance = -320.0f;
    camera.tick(0.0, 0.0);
    EXPECT_GE(camera.getViewRect(0.0f).bottom, -250.0f - 1e-3f);
}
