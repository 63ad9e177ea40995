// The enemy types: what each is worth and takes, where it comes in, how it attacks the
// palms and how it ends; the parachuted crates and the weapons they carry.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "engine/Random.h"
#include "engine/TypedLink.h"
#include "game/AtomBomb.h"
#include "game/Ballistic.h"
#include "game/Bomb.h"
#include "game/Bomber.h"
#include "game/BomberBomb.h"
#include "game/Cannon.h"
#include "game/EnemyBiplane.h"
#include "game/EnemyWorld.h"
#include "game/HotAirBalloon.h"
#include "game/Kamikaze.h"
#include "game/ParachuteCrate.h"
#include "game/PropelledBomb.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/Torpedo.h"
#include "game/Weapon.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class EnemyTest : public EnemyWorld {
protected:
    void SetUp() override {
        game->bLimitBombRange = 0;  // as in the Invasion
        plantPalms(1);
        target = &palm(0);
        Random::seed(11);
    }
    // Moves the palm so that its middle is at (x, y).
    void movePalm(float x, float y) {
        const Vector3 c = target->boundsCentre - target->position;
        target->setPosition(x - c.x, y - c.y, 0.0f);
    }
    // Runs `e` alone until `until` holds (at most 30 s); false when it never did.
    bool fly(GameEntity& e, const std::function<bool()>& until, double dt = 1.0 / 256.0) {
        for (int i = 0; i < 30 * 256; ++i) {
            time += dt;
            inScene([&] { e.tick(time, dt); });
            if (until()) return true;
        }
        return false;
    }

    Palm* target = nullptr;
};

// Where an enemy of the default view (x -400..400, y -240..240, 16-unit skins) entered.
bool atSide(const Enemy& e) { return std::fabs(e.position.x) == 416.0f && e.position.y >= 39.0f; }
bool aboveOrSide(const Enemy& e) { return atSide(e) || e.position.y == 256.0f; }
bool above(const Enemy& e) { return e.position.y == 256.0f; }
bool onWater(const Enemy& e) { return e.position.y == GameEntity::kWaterLine && std::fabs(e.position.x) <= 400.0f; }

struct TypeCase {
    const char* name;
    int type;
    std::int32_t score;
    float health;
    std::uint8_t hitsPalms;
    bool (*entered)(const Enemy&);
};

class EnemyType : public EnemyTest, public ::testing::WithParamInterface<TypeCase> {};
}  // namespace

TEST_P(EnemyType, ComesInWhereItShouldIsWorthItsPointsAndTakesItsDamage) {
    const TypeCase c = GetParam();
    for (int i = 0; i < 10; ++i) {
        Enemy& e = release(c.type);
        EXPECT_TRUE(c.entered(e)) << c.name << " at " << e.position.x << ", " << e.position.y;
        EXPECT_EQ(e.scoreValue, c.score);
        EXPECT_EQ(e.hitsPalms, c.hitsPalms);
        EXPECT_TRUE(e.isHostile());
        // Just short of its health leaves it flying; the rest ends it.
        e.takeDamage(nullptr, c.health * 0.99f);
        EXPECT_FALSE(e.pendingDelete);
        e.takeDamage(nullptr, c.health);
        if (c.type != EnemySpawner::kPropelledBomb) {
            EXPECT_TRUE(e.pendingDelete) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, EnemyType,
    ::testing::Values(TypeCase{"Biplane", 0, 150, 0.2f, 0, atSide}, TypeCase{"P35", 1, 300, 0.3f, 0, atSide},
                      TypeCase{"PropelledBomb", 2, 250, 0.2f, 1, aboveOrSide},
                      TypeCase{"Torpedo", 3, 300, 0.2f, 0, onWater}, TypeCase{"HeavyTorpedo", 4, 300, 0.5f, 0, onWater},
                      TypeCase{"Balloon", 5, 100, 0.001f, 0, aboveOrSide},
                      TypeCase{"ArmedBalloon", 6, 200, 0.001f, 0, aboveOrSide},
                      TypeCase{"AtomBomb", 7, 500, 0.4f, 1, aboveOrSide}, TypeCase{"Kamikaze", 9, 400, 0.2f, 1, above},
                      TypeCase{"Bomber", 10, 1000, 4.0f, 0, atSide}, TypeCase{"Ballistic", 12, 750, 0.6f, 1, atSide}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EnemyTest, ABiplaneDropsItsBombSoThatItLandsOnItsPalm) {
    movePalm(0.0f, 10.0f);
    EnemyBiplane* plane = nullptr;
    for (int seed = 0; !plane || !plane->hasBomb; ++seed) {
        if (plane) plane->destroy();
        Random::seed(static_cast<std::uint32_t>(seed));
        plane = &release<EnemyBiplane>(EnemySpawner::kBiplane, 1.0f);
    }
    ASSERT_TRUE(fly(*plane, [&] { return !plane->hasBomb; }));
    auto* bomb = dynamic_cast<Bomb*>(list(GameController::kEnemyBombList).firstChild);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->acceleration.y, -32.0f);
    ASSERT_TRUE(fly(*bomb, [&] { return bomb->position.y <= target->boundsCentre.y; }));
    EXPECT_NEAR(bomb->position.x, target->position.x, 2.0f);
}

TEST_F(EnemyTest, ABiplaneBelowItsPalmsMiddleFliesOnUnarmedAfterTheSameDraws) {
    std::uint32_t drawn[2] = {};
    for (int high = 0; high < 2; ++high) {
        movePalm(0.0f, high ? 1000.0f : 10.0f);
        Random::seed(3);  // a seed whose plane takes a bomb (at level 1)
        auto& plane = release<EnemyBiplane>(EnemySpawner::kBiplane, 1.0f);
        drawn[high] = Random::state();
        EXPECT_EQ(plane.hasBomb, high ? 0 : 1);
        EXPECT_TRUE(std::isfinite(plane.dropX));
    }
    EXPECT_EQ(drawn[0], drawn[1]);
}

TEST_F(EnemyTest, ATorpedoLeapsOutOfTheWaterAndFallsOnItsPalmHarmlessWhileRising) {
    movePalm(100.0f, 40.0f);
    auto& torpedo = release<Torpedo>(EnemySpawner::kTorpedo);
    fly(torpedo, [&] { return true; });
    EXPECT_FALSE(torpedo.hitsPalms);
    EXPECT_EQ(countIn<Splash>(GameController::kEffectList), 1);
    ASSERT_TRUE(fly(torpedo, [&] { return torpedo.velocity.y < 0.0f && torpedo.position.y <= 40.0f; }));
    EXPECT_TRUE(torpedo.hitsPalms);
    EXPECT_NEAR(torpedo.position.x, target->boundsCentre.x, 2.0f);
}

TEST_F(EnemyTest, ATorpedoAimsAtTheTopOfItsArcWhenItsPalmIsOutOfReachAndALostOneEnds) {
    movePalm(100.0f, 2000.0f);
    auto& torpedo = release<Torpedo>(EnemySpawner::kTorpedo);
    ASSERT_TRUE(std::isfinite(torpedo.velocity.x));
    ASSERT_TRUE(fly(torpedo, [&] { return torpedo.velocity.y <= 0.0f; }));
    EXPECT_NEAR(torpedo.position.x, target->boundsCentre.x, 2.0f);
    torpedo.position.x = std::nanf("");
    run(1);
    EXPECT_EQ(countIn<Torpedo>(GameController::kEnemyList), 0);
}

TEST_F(EnemyTest, ABallisticMissileFliesOneArcOntoItsPalmAndStartsOnTheSideItCanReach) {
    movePalm(-410.0f, 60.0f);
    const Vector3 centre = target->boundsCentre;
    for (int seed = 0; seed < 12; ++seed) {
        Random::seed(static_cast<std::uint32_t>(seed));
        auto& missile = release<Ballistic>(EnemySpawner::kBallistic);
        // From the left its start would lie within 16 of the palm: it moves past it.
        if (missile.position.x < centre.x) {
            EXPECT_FLOAT_EQ(missile.position.x, centre.x - 16.0f);
        }
        const float direction = missile.velocity.x > 0.0f ? 1.0f : -1.0f;
        EXPECT_GT((centre.x - missile.position.x) * direction, 0.0f);
        ASSERT_TRUE(fly(missile, [&] { return (missile.position.x - centre.x) * direction >= 0.0f; }));
        // Within the last step's climb: a start close to the palm makes a steep arc.
        EXPECT_NEAR(missile.position.y, centre.y, std::fabs(missile.velocity.y) / 256.0f + 0.5f) << seed;
        missile.destroy();
    }
}

TEST_F(EnemyTest, APropelledBombSteersWithoutErrorAt128AndWithErrorFartherOff) {
    movePalm(0.0f, 100.0f);
    const Vector3 c = target->boundsCentre;
    for (float distance : {128.0f, 512.0f}) {
        auto& bomb = release<PropelledBomb>(EnemySpawner::kPropelledBomb, 1.0f, PropelledBomb::kPlacedByDropper);
        bomb.setPosition(c.x - distance, c.y, 0.0f);
        bomb.steerTimer = bomb.steerInterval;
        run(1);
        const float off = std::fabs(std::atan2(bomb.velocity.y, bomb.velocity.x));
        if (distance == 128.0f) {
            EXPECT_LT(off, 1e-3f);
        }
        if (distance == 512.0f) {
            EXPECT_GT(off, 1e-3f);
        }
        EXPECT_LE(off, 1.1780972f * (distance - 128.0f) / 384.0f + 1e-3f);
        bomb.destroy();
    }
}

TEST_F(EnemyTest, APropelledBombPlacedByItsDropperStaysAndOnceShotFallsHarmlessIntoTheSea) {
    auto* bomb = new PropelledBomb();
    bomb->tint = PropelledBomb::kPlacedByDropper;
    bomb->setPosition(12.0f, 34.0f, 0.0f);
    list(GameController::kEnemyList).addChild(bomb);
    inScene([&] { bomb->enter(); });
    EXPECT_EQ(bomb->position.x, 12.0f);
    EXPECT_EQ(bomb->position.y, 34.0f);
    bomb->takeDamage(nullptr, 1.0f);
    EXPECT_EQ(bomb->state, PropelledBomb::kFalling);
    EXPECT_FALSE(bomb->hitsPalms);
    EXPECT_FALSE(bomb->pendingDelete);
    ASSERT_TRUE(fly(*bomb, [&] { return bomb->pendingDelete != 0; }));
    EXPECT_EQ(countIn<Splash>(GameController::kEffectList), 1);
}

TEST_F(EnemyTest, AnAtomBombKeepsAHeadingStraightAtItsPalmAndTurnsSlowlyTowardOneBehind) {
    movePalm(0.0f, 100.0f);
    for (float start : {-300.0f, 300.0f}) {
        auto* bomb = new AtomBomb();
        bomb->setPosition(start, 100.0f, 0.0f);
        bomb->heading = 0.0f;  // toward the palm from the left, away from it from the right
        list(GameController::kEnemyList).addChild(bomb);
        run(64);
        EXPECT_NEAR(std::fabs(bomb->heading), start < 0.0f ? 0.0f : 0.4f, 1e-3f) << start;
        bomb->destroy();
    }
}

TEST_F(EnemyTest, AKamikazeDivesTwiceAsSteeplyAsItsIslandAndCrashesIntoTheSea) {
    auto& plane = release<Kamikaze>(EnemySpawner::kKamikaze);
    const float toIsland = std::atan2(0.0f - 256.0f, kIslandX - plane.position.x);
    const float dive = std::atan2(plane.velocity.y, plane.velocity.x);
    EXPECT_NEAR(std::remainder(dive - (2 * toIsland - 3 * kPi / 2), 2 * kPi), 0.0f, 1e-4f);
    ASSERT_TRUE(fly(plane, [&] { return plane.pendingDelete != 0; }));
    auto* splash = dynamic_cast<Splash*>(list(GameController::kEffectList).lastChild);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->particleCount, 25);
}

TEST_F(EnemyTest, ABomberDropsBombsAndOnceDamagedSlowsAndTrailsDarkeningSmoke) {
    auto& bomber = release<Bomber>(EnemySpawner::kBomber);
    run(95);  // 1.48 s
    EXPECT_EQ(countIn<BomberBomb>(GameController::kEnemyBombList), 0);
    EXPECT_EQ(countOf(GameController::kSmokeList), 0);  // at full health
    run(2);
    EXPECT_EQ(countIn<BomberBomb>(GameController::kEnemyBombList), 1);
    bomber.takeDamage(nullptr, 2.0f);
    EXPECT_FLOAT_EQ(bomber.velocity.x, 0.75f * bomber.cruiseSpeed);
    run(4);
    EXPECT_GT(countOf(GameController::kSmokeList), 0);
}

TEST_F(EnemyTest, BalloonsBounceInsideTheViewAndTheArmedOneBombsItsPalm) {
    movePalm(0.0f, 20.0f);
    auto& balloon = release<HotAirBalloon>(EnemySpawner::kHotAirBalloon);
    balloon.setPosition(-401.0f, 5.0f, 0.0f);
    balloon.velocity = Vector3{-10.0f, -10.0f, 0.0f};
    run(1);
    EXPECT_GT(balloon.velocity.x, 0.0f);
    EXPECT_GT(balloon.velocity.y, 0.0f);
    auto& armed = release<HotAirBalloon>(EnemySpawner::kHotAirBalloonArmed);
    ASSERT_NE(armed.bomb, nullptr);
    armed.setPosition(200.0f, 150.0f, 0.0f);
    run(1);
    EXPECT_NE(armed.bomb, nullptr);
    armed.setPosition(target->boundsCentre.x, 150.0f, 0.0f);
    run(1);
    EXPECT_EQ(armed.bomb, nullptr);
    EXPECT_EQ(countIn<Bomb>(GameController::kEnemyBombList), 1);
    // Shot, an armed balloon lets its bomb go wherever it is.
    auto& shot = release<HotAirBalloon>(EnemySpawner::kHotAirBalloonArmed);
    shot.takeDamage(nullptr, 1.0f);
    EXPECT_TRUE(shot.pendingDelete);
    EXPECT_EQ(countIn<Bomb>(GameController::kEnemyBombList), 2);
}

namespace {
class CrateContent : public EnemyTest, public ::testing::WithParamInterface<int> {};
}  // namespace

TEST_P(CrateContent, ACrateGivesItsWeaponToTheSideThatBrokeIt) {
    const int content = GetParam();
    auto* cannon = place(GameController::kVehicleList, new Cannon(1));
    player(1).pVehicle = cannon;
    cannon->setWeapon(Weapon::createFromType(0, 1));
    auto* crate = new ParachuteCrate(content);
    list(GameController::kEnemyList).addChild(crate);
    inScene([&] { crate->enter(); });
    EXPECT_FALSE(crate->isHostile());
    EXPECT_EQ(crate->velocity.y, content == 0 ? crate->velocity.y : -ParachuteCrate::kSinkSpeed);
    CountingTarget shooter;
    shooter.side = 1;
    shooter.dealDamage(crate, 1.0f);
    EXPECT_TRUE(crate->pendingDelete);
    EXPECT_EQ(cannon->weapon->type, content);
    EXPECT_EQ(player(1).getScore(), ParachuteCrate::kScoreValue);
}

INSTANTIATE_TEST_SUITE_P(Weapons, CrateContent, ::testing::Range(0, 6));

TEST_F(EnemyTest, AnUnseenCrateVanishesAfterTenSecondsAndOneInTheSeaSinks) {
    auto* crate = new ParachuteCrate(1);
    list(GameController::kEnemyList).addChild(crate);
    inScene([&] { crate->enter(); });
    crate->bVisible = 0;
    TypedLink<ParachuteCrate> watched;  // reads as empty once the tree has deleted it
    watched = crate;
    run(639);  // 9.98 s
    EXPECT_FALSE(crate->pendingDelete);
    run(2);
    EXPECT_TRUE(!watched || watched->pendingDelete);
    auto& empty = release<ParachuteCrate>(EnemySpawner::kCrate);
    EXPECT_LT(empty.velocity.y, -32.0f + 1e-3f);
    empty.setPosition(0.0f, -24.9f, 0.0f);
    watched = &empty;
    run(1);
    EXPECT_TRUE(!watched || watched->pendingDelete);
    EXPECT_EQ(countIn<Splash>(GameController::kEffectList), 1);
}
