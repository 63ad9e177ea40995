#include <gtest/gtest.h>

#include "engine/MathHelpers.h"
#include "engine/Random.h"
#include "game/Palm.h"
#include "game/PalmSaveRecord.h"
#include "game/PalmTrunkMesh.h"
#include "game/Vehicle.h"
#include "support/PalmTestWorld.h"

namespace {
class PalmTest : public ::testing::Test {
protected:
    void SetUp() override { Random::seed(77); }

    // A palm of side 0 in the palm list, counted as the side's palm `index`.
    Palm* plant(int index = 0) {
        auto* palm = new Palm(0);
        world.layer(GameController::kPalmList).addChild(palm);
        PlayerData& side = *world.game->getPlayerData(0);
        side.palms[index] = palm;
        side.totalPalms = side.livePalms = index + 1;
        return palm;
    }
    // Ticks `palm` for `seconds` in steps of 1/16 s.
    static void run(Palm& palm, double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += 0.0625) palm.tick(0.0, 0.0625);
    }
    int livePalms() const { return world.game->getPlayerData(0)->livePalms; }

    PalmTestWorld world;
};

struct Shot : GameEntity {
    explicit Shot(float speed) : GameEntity(-1) { velocity.x = speed; }
};
}  // namespace

TEST_F(PalmTest, BurnsForASecondIsLostTheFrameAfterAndTheSideIsToldOnce) {
    Palm* first = plant(0);
    Palm* second = plant(1);
    EXPECT_FLOAT_EQ(first->takeDamage(nullptr, 5.0f), 1.0f);
    EXPECT_EQ(first->state, Palm::kBurning);
    EXPECT_EQ(world.game->palmSaves, 1);
    run(*first, 1.0);
    EXPECT_NEAR(first->currentHeight, first->burntHeight, 1e-6f);
    EXPECT_EQ(first->color, Palm::kBurntColour);
    EXPECT_EQ(livePalms(), 2);  // burnt through, not yet lost
    run(*first, 0.0625);
    EXPECT_EQ(first->state, Palm::kBurnt);
    EXPECT_EQ(livePalms(), 1);
    EXPECT_EQ(world.game->palmSaves, 2);

    // Whatever hits or ends the palms afterwards, the loss counts once.
    first->destroy(nullptr);
    EXPECT_EQ(first->takeDamage(nullptr, 1.0f), 0.0f);
    second->destroy(nullptr);
    second->destroy(nullptr);
    run(*second, 2.0);
    run(*first, 1.0);
    EXPECT_EQ(livePalms(), 0);
    EXPECT_EQ(world.game->sidesDestroyed, std::vector<std::int32_t>{0});
    EXPECT_EQ(world.game->palmSaves, 4);
}

TEST_F(PalmTest, AHitSwaysTheTrunkTowardTheShotAndItSettlesUpright) {
    Palm* palm = plant();
    palm->rotation.z = 0.0f;
    Shot shot(500.0f);
    palm->takeDamage(&shot, 0.5f);
    EXPECT_FLOAT_EQ(palm->spring.velocity.x, Palm::kMaxSwaySpeed);
    EXPECT_EQ(palm->color, lerpColor(Palm::kBurntColour, Palm::kHealthyColour, 0.5f));
    palm->tick(0.0, 0.0625);
    EXPECT_LT(palm->mesh()->bend, 0.0f);  // leaning toward +x
    EXPECT_GT(palm->boundsCentre.x, palm->position.x);
    run(*palm, 12.0);
    EXPECT_EQ(palm->mesh()->bend, 0.0f);
}

TEST_F(PalmTest, SmokeComesThroughoutTheBurnAndFlamesOnlyEarlyAndWithDetail) {
    for (int detail : {1, 0}) {
        global->configuration.detail = detail;
        Palm* palm = plant();
        palm->burn(nullptr);
        run(*palm, 0.75);
        const int flames = world.count(GameController::kBeamList);
        EXPECT_GT(world.count(GameController::kSmokeList), 0);
        EXPECT_EQ(flames > 0, detail == 1);
        run(*palm, 0.25);
        EXPECT_EQ(world.count(GameController::kBeamList), flames);
        EXPECT_DOUBLE_EQ(palm->smokeInterval, detail == 1 ? 0.015 : 0.045);
        world.layer(GameController::kBeamList).deleteChildren();
    }
}

TEST_F(PalmTest, ABurntPalmComesBackAsAStumpAndUnsoundRecordsAreRefused) {
    Palm* palm = plant();
    palm->bendOffset = 0.25f;
    palm->takeDamage(nullptr, 1.0f);
    run(*palm, 1.125);
    std::uint8_t bytes[PalmSaveRecord::kSize] = {};
    palm->savePalm(PalmSaveRecord(SaveBytes(bytes, sizeof bytes)));

    Palm* restored = plant(1);
    ASSERT_TRUE(restored->loadPalm(PalmSaveRecord(SaveBytes(bytes, sizeof bytes))));
    EXPECT_EQ(restored->state, Palm::kBurnt);
    EXPECT_FLOAT_EQ(restored->position.x, palm->position.x);
    EXPECT_FLOAT_EQ(restored->rotation.z, palm->rotation.z);
    EXPECT_FLOAT_EQ(restored->bendOffset, 0.25f);
    EXPECT_FLOAT_EQ(restored->mesh()->height, palm->mesh()->height);
    EXPECT_EQ(restored->color, Palm::kBurntColour);

    // A trunk of no height (or a state no palm has) is no palm to restore.
    SaveBytes(bytes, sizeof bytes).putF32(PalmSaveRecord::kFullHeight, 0.0f);
    Palm* fresh = plant(2);
    EXPECT_FALSE(fresh->loadPalm(PalmSaveRecord(SaveBytes(bytes, sizeof bytes))));
    EXPECT_EQ(fresh->state, Palm::kStanding);
    EXPECT_NE(fresh->position.x, palm->position.x);
}

TEST_F(PalmTest, OnlyAnAttackerWhoseVehicleIsDownIsLaughedAt) {
    // Every sound played takes one draw of the shared generator: "treeBurn" always, the
    // taunt "nyuck" only for a side that has a vehicle and it has no health left.
    const auto soundsOfBurning = [&](float attackerHealth) {
        Shot shot(0.0f);
        shot.side = 1;
        PlayerData& attacker = *world.game->getPlayerData(1);
        attacker.pVehicle = nullptr;
        if (attackerHealth >= 0.0f) {
            auto* vehicle = new Vehicle(1);
            vehicle->health = attackerHealth;
            world.layer(GameController::kVehicleList).addChild(vehicle);
            attacker.pVehicle = vehicle;
        }
        Palm* palm = plant();
        const std::uint32_t before = Random::state();
        const std::uint32_t after = (palm->burn(&shot), Random::state());
        int draws = 0;
        for (Random::seed(before); Random::state() != after && draws < 8; ++draws) Random::step();
        return draws;
    };
    EXPECT_EQ(soundsOfBurning(-1.0f), 1);  // no vehicle at all
    EXPECT_EQ(soundsOfBurning(0.5f), 1);
    EXPECT_EQ(soundsOfBurning(0.0f), 2);
}
