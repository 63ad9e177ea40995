#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/Random.h"
#include "game/Bomb.h"
#include "game/CannonAI.h"
#include "game/CannonShell.h"
#include "game/DuelWorld.h"
#include "game/PlaneAI.h"
#include "game/PlaneAIDogfight.h"
#include "game/WeaponBombBay.h"
#include "game/WeaponCannon.h"
#include "game/WeaponPlaneGun.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class ComputerVehicleTest : public DuelWorld {
protected:
    PlaneAI& computerPlane(float x, float y, float heading) {
        PlaneAI& p = enlist(GameController::kPlaneList, new PlaneAI(1), x, y);
        aimAlong(p, heading, Plane::kMinSpeed);
        return p;
    }
    static void aimAlong(GameEntity& e, float heading, float speed) {
        e.heading = heading;
        e.velocity = Vector3{speed * std::cos(heading), speed * std::sin(heading), 0.0f};
    }
    void think(PlaneAI& p) {
        inScene([&] { p.think(); });
    }
    // What a run ends with: palms lost, planes down, and the planes' places and headings.
    struct Outcome {
        int palmsLost = 0, planesDown = 0;
        std::vector<float> planes;
    };
    Outcome run(std::uint32_t seed, bool dogfight, int frames) {
        newGame(300.0f);
        Random::seed(seed);
        for (int s = 0; s < 2; ++s) player(s).createPalms(3, 0);
        Plane* planes[2] = {};
        if (dogfight) {
            player(0).bPointerControl = 1;  // side 0's default: no hold on a computer's turns
            for (int s = 0; s < 2; ++s) {
                planes[s] = &enlist(GameController::kPlaneList, new PlaneAIDogfight(s), s ? 300.0f : -300.0f, 200.0f);
                planes[s]->setWeapon(new WeaponPlaneGun(s));
            }
        } else {
            planes[1] = &enlist(GameController::kPlaneList, new PlaneAI(1), 300.0f, 200.0f);
            planes[1]->setWeapon(new WeaponBombBay(1));
            enlist(GameController::kVehicleList, new CannonAI(0), -300.0f, 0.0f).setWeapon(new WeaponCannon(0));
        }
        game->aiSkill = 1.0f;
        for (int f = 0; f < frames; ++f) engine.stepGame(1.0 / 64.0);
        Outcome out;
        for (int s = 0; s < 2; ++s) {
            out.palmsLost += 3 - player(s).livePalms;
            if (planes[s])
                out.planes.insert(out.planes.end(), {planes[s]->position.x, planes[s]->position.y, planes[s]->heading});
        }
        out.planesDown = static_cast<int>(recorder->downed.size());
        return out;
    }
};
}  // namespace

TEST_F(ComputerVehicleTest, APlaneOnlySchedulesOnItsFirstPassAndSkillShortensItsPauses) {
    double pause[2] = {};
    for (int skill : {0, 1}) {
        game->aiSkill = static_cast<float>(skill);
        PlaneAI& p = computerPlane(-300.0f, 100.0f, 0.0f);
        p.marker.position = Vector3{300.0f, 400.0f, 0.0f};  // far: the longest pauses
        Random::seed(7);
        think(p);
        EXPECT_FALSE(p.bFirePressed || p.bFireHeld);
        pause[skill] = p.nextFireTime - game->pScene->localTime;
        game->pScene->localTime = p.nextFireTime;
        think(p);
        EXPECT_TRUE(p.bFirePressed && p.bFireHeld);
        p.destroy();
    }
    EXPECT_GT(pause[0], 0.0);
    EXPECT_NEAR(pause[1], pause[0] / 6.0, 1e-6);
}

TEST_F(ComputerVehicleTest, APlaneCruisesUpAndRightWithoutPalmsAndDivesOnAStandingPalm) {
    PlaneAI& p = computerPlane(0.0f, 100.0f, 0.0f);
    think(p);
    p.pickWaypoint();
    EXPECT_EQ(p.aiState.state, PlaneAI::kCruise);
    const Vector3 d = p.marker.position - p.position;
    EXPECT_TRUE(d.x >= 0.0f && d.x <= 255.0f && d.y >= 0.0f && d.y <= 255.0f);

    player(0).createPalms(3, 0);
    think(p);
    ASSERT_NE(p.targetPalm.get(), nullptr);
    EXPECT_EQ(p.targetPalmScore, 0.5f);
    p.pickWaypoint();
    EXPECT_EQ(p.aiState.state, PlaneAI::kAttack);
    EXPECT_FLOAT_EQ(p.marker.position.y, p.targetPalm->boundsCentre.y + 32.0f);
    // Reaching the palm it climbs away ahead of itself.
    p.position = p.marker.position;
    think(p);
    EXPECT_EQ(p.aiState.state, PlaneAI::kCruise);
    EXPECT_GT(p.marker.position.y, p.position.y);
    EXPECT_GE(p.marker.position.x, p.position.x);
}

TEST_F(ComputerVehicleTest, AShellAimedAtWhereThePlaneWillBeForcesAnEvasiveTurn) {
    PlaneAI& p = computerPlane(0.0f, 200.0f, 0.0f);
    p.marker.position = Vector3{-300.0f, 400.0f, 0.0f};  // steering alone would turn left
    auto* shell = place(GameController::kCannonShellList, new CannonShell(0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    aimAlong(*shell, std::atan2(200.0f, 37.5f), 400.0f);  // meets the plane in 0.5 s
    think(p);
    EXPECT_EQ(p.threat.get(), shell);
    EXPECT_FLOAT_EQ(p.threatScore, 1.0f);
    EXPECT_TRUE(p.bTurnRight && !p.bTurnLeft);
}

TEST_F(ComputerVehicleTest, ADivingPlaneNearTheWaterPullsUpTheShorterWay) {
    for (float offset : {-0.3f, 0.3f}) {
        PlaneAI& p = computerPlane(0.0f, 30.0f, 3.0f * kPi / 2.0f + offset);
        p.velocity = p.velocity * (250.0f / Plane::kMinSpeed);
        p.marker.position = Vector3{offset * -1000.0f, -20.0f, 0.0f};  // steering would turn the other way
        think(p);
        EXPECT_EQ(p.waterHazardScore, 1.0f);
        EXPECT_EQ(p.bTurnLeft != 0, offset > 0.0f) << offset;
        EXPECT_EQ(p.bTurnRight != 0, offset < 0.0f) << offset;
        p.destroy();
    }
}

TEST_F(ComputerVehicleTest, ABonusBalloonThatIsGoneLeavesThePlaneWithoutATarget) {
    PlaneAI& p = computerPlane(0.0f, 200.0f, 0.0f);
    GameEntity* balloon = addTarget(GameController::kBonusBalloonList, 100.0f, 200.0f);
    think(p);
    EXPECT_EQ(p.aiState.state, PlaneAI::kFetchBonus);
    EXPECT_EQ(p.bonusTarget.get(), balloon);
    EXPECT_EQ(p.marker.position.x, 100.0f);
    balloon->destroy();
    EXPECT_EQ(p.bonusTarget.get(), nullptr);
    think(p);  // still fetching, toward where the balloon was
    EXPECT_EQ(p.aiState.state, PlaneAI::kFetchBonus);
}

TEST_F(ComputerVehicleTest, TheCannonAimsAtTheBombFallingOnItsPalmsAndSkipsOnesThatNeverComeDown) {
    player(1).createPalms(3, 0);
    CannonAI& c = enlist(GameController::kVehicleList, new CannonAI(1), 500.0f, 0.0f);
    const Palm& palm = *player(1).palms[0];
    auto* drifting = place(GameController::kBombList, new Bomb(0, palm.position.x, 300.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    drifting->acceleration = Vector3{0.0f, 0.0f, 0.0f};  // never reaches any height
    inScene([&] { c.think(); });
    EXPECT_EQ(c.threat.get(), nullptr);
    auto* falling =
        place(GameController::kBombList, new Bomb(0, palm.position.x - 20.0f, 300.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    inScene([&] { c.think(); });
    EXPECT_EQ(c.threat.get(), falling);
    EXPECT_FLOAT_EQ(c.threatScore, 1.0f);
    EXPECT_GT(c.nextFireTime, 0.0);
    EXPECT_FALSE(c.bFirePressed);  // the first pass only schedules
    falling->destroy();
    EXPECT_EQ(c.threat.get(), nullptr);
}

// A seeded duel between computer vehicles, stepped frame by frame, reaches the same
// state on every run, and the computer players get somewhere.
TEST_F(ComputerVehicleTest, ComputerPlayersBombAndShootAndRepeatThemselves) {
    const Outcome bombing = run(99, false, 64 * 40);
    EXPECT_GT(bombing.palmsLost, 0);
    EXPECT_EQ(run(99, false, 64 * 40).planes, bombing.planes);
    const Outcome dogfight = run(99, true, 64 * 40);
    EXPECT_GT(dogfight.planesDown, 0);
    EXPECT_EQ(run(99, true, 64 * 40).planes, dogfight.planes);
}
