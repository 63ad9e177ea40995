#include <gtest/gtest.h>

#include "game/FollowCamera.h"
#include "support/GameTestEngine.h"

TEST(FollowCamera, FollowsItsSidesVehicleButNeverShowsTheSeaBed) {
    GameTestEngine engine;
    engine.startGame();
    FollowCamera camera(1);
    camera.position.z = -320.0f;
    camera.tick(0.0, 0.1);  // no vehicle: it stays
    EXPECT_FLOAT_EQ(camera.position.x, 0.0f);
    StandInVehiclePlayer& plane = engine.giveVehicle(1);
    plane.at = Vector3{120.0f, 300.0f, 5.0f};
    camera.tick(0.0, 0.1);
    EXPECT_FLOAT_EQ(camera.position.x, 120.0f);
    EXPECT_FLOAT_EQ(camera.target.y, 300.0f);
    EXPECT_FLOAT_EQ(camera.position.z, -320.0f);
    plane.at.y = -200.0f;  // falling into the sea
    camera.tick(0.0, 0.1);
    EXPECT_FLOAT_EQ(camera.getViewRect(0.0f).bottom, -250.0f);
    EXPECT_FLOAT_EQ(camera.position.y, -58.0f);
}
