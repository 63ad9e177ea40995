#include <gtest/gtest.h>

#include <cmath>

#include "engine/MathHelpers.h"
#include "engine/Random.h"
#include "game/Palm.h"
#include "game/PalmSaveRecord.h"
#include "game/PalmTrunkMesh.h"
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

// A shot that moves at `speed` along x.
struct Shot : GameEntity {
    explicit Shot(float speed) : GameEntity(-1) { velocity.x = speed; }
};
}  // namespace

TEST_F(PalmTest, StandsOnItsIslandWithAFullTrunkAndAFixedCollisionCircle) {
    Palm* palm = plant();
    EXPECT_EQ(palm->state, Palm::kStanding);
    EXPECT_NEAR(std::fabs(palm->position.x + 200.0f), 62.5f, 62.5f);  // within 125 of the island
    EXPECT_GE(palm->position.y, 5.0f - 1e-3f);                        // on the island's upper half
    EXPECT_FLOAT_EQ(palm->fullHeight, PalmTestWorld::kPictureBottom);
    EXPECT_EQ(palm->mesh()->rows, 16);
    EXPECT_FLOAT_EQ(palm->mesh()->height, 144.0f);
    EXPECT_FLOAT_EQ(palm->boundsRadius, 80.0f);
    // The foot stands on the palm's position; the circle's centre is the trunk's middle.
    EXPECT_NEAR(palm->local2world({0.0f, -72.0f, 0.0f}).x, palm->position.x, 1e-3f);
}

TEST_F(PalmTest, BurnsForASecondAndIsLostOnceTheFrameAfter) {
    Palm* first = plant(0);
    Palm* second = plant(1);
    EXPECT_FLOAT_EQ(first->takeDamage(nullptr, 5.0f), 1.0f);
    EXPECT_EQ(first->state, Palm::kBurning);
    EXPECT_EQ(world.game->palmSaves, 1);
    run(*first, 1.0);
    EXPECT_FLOAT_EQ(first->burnProgress, 1.0f);
    EXPECT_NEAR(first->currentHeight, first->burntHeight, 1e-6f);
    EXPECT_EQ(first->color, Palm::kBurntColour);
    EXPECT_EQ(first->state, Palm::kBurning);  // not yet lost
    EXPECT_EQ(livePalms(), 2);
    run(*first, 0.0625);
    EXPECT_EQ(first->state, Palm::kBurnt);
    EXPECT_EQ(livePalms(), 1);
    EXPECT_EQ(world.game->palmSaves, 2);
    EXPECT_TRUE(world.game->sidesDestroyed.empty());

    // Whatever hits or ends the palms afterwards, the side's loss is told once.
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

TEST_F(PalmTest, AHitSwaysTheTrunkTowardTheShotAndItSwingsBackUpright) {
    Palm* palm = plant();
    palm->rotation.z = 0.0f;
    Shot shot(500.0f);
    palm->takeDamage(&shot, 0.5f);
    EXPECT_FLOAT_EQ(palm->spring.velocity.x, Palm::kMaxSwaySpeed);
    EXPECT_EQ(palm->color, lerpColor(Palm::kBurntColour, Palm::kHealthyColour, 0.5f));
    const Vector3 centreBefore = palm->boundsCentre;
    palm->tick(0.0, 0.0625);
    EXPECT_LT(palm->mesh()->bend, 0.0f);  // leaning toward +x
    EXPECT_GT(palm->boundsCentre.x, centreBefore.x);
    bool leanedBack = false;
    for (int i = 0; i < 200; ++i) {
        palm->tick(0.0, 0.0625);
        leanedBack = leanedBack || palm->mesh()->bend > 0.0f;
    }
    EXPECT_TRUE(leanedBack);
    EXPECT_EQ(palm->mesh()->bend, 0.0f);  // settled below the threshold: exactly straight
}

TEST_F(PalmTest, SmokeComesThroughoutTheBurnAndFlamesOnlyEarlyAndWithDetail) {
    for (int detail : {1, 0}) {
        global->configuration.detail = detail;
        Palm* palm = plant();
        palm->burn(nullptr);
        run(*palm, 0.75);
        const int flames = world.count(GameController::kBeamList);
        EXPECT_EQ(world.count(GameController::kSmokeList) > 0, true);
        EXPECT_EQ(flames > 0, detail == 1);
        run(*palm, 0.25);  // the last quarter of the burn makes no flames
        EXPECT_EQ(world.count(GameController::kBeamList), flames);
        EXPECT_DOUBLE_EQ(palm->smokeInterval, detail == 1 ? 0.015 : 0.045);
        world.layer(GameController::kBeamList).deleteChildren();
        world.layer(GameController::kSmokeList).deleteChildren();
    }
}

TEST_F(PalmTest, ABurntPalmSurvivesASaveAndALoadAsAStump) {
    Palm* palm = plant();
    palm->bendOffset = 0.25f;
    palm->takeDamage(nullptr, 1.0f);
    run(*palm, 1.125);
    std::uint8_t bytes[PalmSaveRecord::kSize] = {};
    const PalmSaveRecord record(SaveBytes(bytes, sizeof bytes));
    palm->savePalm(record);

    Palm* restored = plant(1);
    ASSERT_TRUE(restored->loadPalm(record));
    EXPECT_EQ(restored->state, Palm::kBurnt);
    EXPECT_FLOAT_EQ(restored->position.x, palm->position.x);
    EXPECT_FLOAT_EQ(restored->rotation.z, palm->rotation.z);
    EXPECT_FLOAT_EQ(restored->bendOffset, 0.25f);
    EXPECT_FLOAT_EQ(restored->burnProgress, 1.0f);
    EXPECT_FLOAT_EQ(restored->mesh()->height, palm->mesh()->height);
    EXPECT_EQ(restored->color, Palm::kBurntColour);
}

TEST_F(PalmTest, RecordsThatNoPalmCouldHaveAreRefusedAndChangeNothing) {
    Palm* palm = plant();
    std::uint8_t bytes[PalmSaveRecord::kSize] = {};
    const PalmSaveRecord record(SaveBytes(bytes, sizeof bytes));
    palm->savePalm(record);
    const Vector3 where = palm->position;
    const struct {
        std::size_t offset;
        std::int32_t value;
        bool isFloat;
    } damage[] = {{PalmSaveRecord::kState, 7, false},
                  {PalmSaveRecord::kFullHeight, 0, true},
                  {PalmSaveRecord::kCurrentHeight, 2, true},
                  {PalmSaveRecord::kValid, 0, false}};
    for (const auto& d : damage) {
        std::uint8_t copy[PalmSaveRecord::kSize];
        std::copy(std::begin(bytes), std::end(bytes), copy);
        const PalmSaveRecord bad(SaveBytes(copy, sizeof copy));
        if (d.offset == PalmSaveRecord::kValid)
            bad.setValidData(false);
        else if (d.isFloat)
            bad.bytes.putF32(d.offset, static_cast<float>(d.value));
        else
            bad.bytes.putS32(d.offset, d.value);
        bad.bytes.putF32(PalmSaveRecord::kPosition, 999.0f);
        EXPECT_FALSE(palm->loadPalm(bad)) << "offset " << d.offset;
        EXPECT_EQ(palm->position.x, where.x);
        EXPECT_EQ(palm->state, Palm::kStanding);
    }
}
