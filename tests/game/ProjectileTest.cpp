// Bullet, CannonShell, BomberBomb, Missile, BubbleProjectile and ZeppelinPart: how each
// flies, meets the water, leaves the view and ends when hit.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "game/BomberBomb.h"
#include "game/BubbleProjectile.h"
#include "game/Bullet.h"
#include "game/CannonShell.h"
#include "game/Missile.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/ZeppelinPart.h"
#include "inputaudio/QorInput.h"
#include "support/GameFxWorld.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

struct Kind {
    const char* name;
    std::function<GameEntity*(float x, float y, float vy)> make;  // moving up or down at vy
    int hitPieces;                                                // pieces (or puffs) when hit; -1: 6 x detail + 4
};

const Kind kKinds[] = {
    {"Bullet", [](float x, float y, float vy) { return new Bullet(0, x, y, 0, 0, vy, 0); }, 5},
    {"CannonShell", [](float x, float y, float vy) { return new CannonShell(0, x, y, 0, 0, vy, 0); }, -1},
    {"BomberBomb",
     [](float x, float y, float vy) {
         return new BomberBomb({x, y, 0}, {0, vy, 0}, {0, 0, 0});
     },
     -1},
    {"Missile", [](float x, float y, float vy) { return new Missile(0, x, y, 0, vy < 0 ? -kPi / 2 : kPi / 2, 200); },
     10},
};

class ProjectileTest : public GameFxWorld, public ::testing::WithParamInterface<std::tuple<Kind, int>> {
protected:
    QorBase& shots() { return list(GameController::kPlayerShotList); }
    QorBase& effects() { return list(GameController::kEffectList); }
    int countEffects(bool splashes) {
        int n = 0;
        for (BasicLink* e = effects().firstChild; e; e = e->next)
            n += (dynamic_cast<Splash*>(e) != nullptr) == splashes;
        return n;
    }
};
}  // namespace

TEST_P(ProjectileTest, WaterSinksItWithASplashFromDetailOneAndAHitEndsItWithoutOne) {
    const auto& [kind, detail] = GetParam();
    engine.app().configuration.detail = detail;
    shots().addChild(kind.make(0.0f, -24.5f, -200.0f));
    tickInScene(shots(), 0.0, 0.01);
    EXPECT_EQ(shots().countChildren(), 0);
    EXPECT_EQ(countEffects(true), detail >= 1 ? 1 : 0);
    EXPECT_EQ(countEffects(false), 0);

    GameEntity* hit = kind.make(0.0f, 100.0f, 200.0f);
    shots().addChild(hit);
    hit->takeDamage(nullptr, 5.0f);
    EXPECT_EQ(hit->pendingDelete, 1);
    auto* explosion = dynamic_cast<SpriteEffect*>(effects().lastChild);
    ASSERT_NE(explosion, nullptr);
    EXPECT_EQ(explosion->particleCount, kind.hitPieces < 0 ? detail * 6 + 4 : kind.hitPieces);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProjectileTest,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Values(0, 1)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "Detail" +
                                    std::to_string(std::get<1>(info.param));
                         });

using ProjectileFlightTest = GameFxWorld;

TEST_F(ProjectileFlightTest, AnUnseenBulletGoesWhenFlyingAwayFromTheViewAndStaysWhileComingIn) {
    QorBase& bullets = list(GameController::kBulletList);
    auto* coming = new Bullet(0, -500.0f, 0.0f, 0.0f, 512.0f, 0.0f, 0.0f);
    auto* leaving = new Bullet(0, 450.0f, 0.0f, 0.0f, 512.0f, 0.0f, 0.0f);
    auto* neverDrawn = new Bullet(0, 450.0f, 100.0f, 0.0f, 512.0f, 0.0f, 0.0f);
    coming->bVisible = leaving->bVisible = 0;  // what their last drawing found
    for (Bullet* b : {coming, leaving, neverDrawn}) bullets.addChild(b);
    tickInScene(bullets, 0.0, 1.0 / 60.0);
    EXPECT_EQ(bullets.countChildren(), 2);
    EXPECT_EQ(bullets.firstChild, coming);
    EXPECT_FLOAT_EQ(coming->collisionSensitivity, 0.75f);
    qor->pQorInput->setInputMode(QorInput::kModeTouch);  // fingers get a larger target
    EXPECT_FLOAT_EQ(Bullet(0, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f).collisionSensitivity, 1.0f);
}

TEST_F(ProjectileFlightTest, ShellsTurnAlongTheirFallBomberBombsSwingAndMissilesTrailSmoke) {
    CannonShell shell(0, 0.0f, 0.0f, 0.0f, 100.0f, 100.0f, 0.0f);
    BomberBomb bomb(Vector3{0.0f, 100.0f, 0.0f}, Vector3{0.0f, 0.0f, 0.0f}, Vector3{0.0f, 3.0f, 0.0f});
    auto* missile = new Missile(0, 0.0f, 0.0f, 0.0f, kPi / 2.0f, 200.0f);
    list(GameController::kPlayerShotList).addChild(missile);
    tickInScene(shell, 2.0, 0.5);
    tickInScene(bomb, 2.0, 0.5);
    EXPECT_FLOAT_EQ(shell.heading, std::atan2(100.0f - 64.0f, 100.0f));
    EXPECT_FLOAT_EQ(shell.rotation.z, shell.heading);
    EXPECT_FLOAT_EQ(bomb.velocity.y, -32.0f);
    EXPECT_FLOAT_EQ(bomb.rotation.z, 0.125f * std::sin(bomb.spinPhase + 16.0f));
    EXPECT_FLOAT_EQ(bomb.rotation.y, 3.0f);
    for (int i = 0; i < 4; ++i) tickInScene(*missile, i * 0.01, 0.01);  // a puff every 0.015 s at most once a frame
    QorBase& effects = list(GameController::kEffectList);
    ASSERT_EQ(effects.countChildren(), 2);
    EXPECT_NEAR(static_cast<SpriteEffect*>(effects.firstChild)->particles[0].position.y, 8.0f - 16.0f, 1e-4f);
    engine.app().configuration.detail = 0;
    for (int i = 0; i < 10; ++i) tickInScene(*missile, i * 0.05, 0.05);
    EXPECT_EQ(effects.countChildren(), 2);
}

TEST_F(ProjectileFlightTest, ABubbleWobblesAroundItsHeadingByAtMostAQuarterTurn) {
    float widest = 0.0f;
    for (int shot = 0; shot < 20; ++shot) {
        BubbleProjectile bubble(0, 0.0f, 0.0f, 0.0f, 1.0f, 768.0f);
        for (int i = 0; i < 120; ++i) {
            tickInScene(bubble, i / 60.0, 1.0 / 60.0);
            widest = std::max(widest, std::fabs(bubble.rotation.z - 1.0f));
        }
        EXPECT_NEAR(std::hypot(bubble.velocity.x, bubble.velocity.y), 768.0f, 0.01f);
    }
    EXPECT_LE(widest, kPi / 4.0f);
    EXPECT_GT(widest, 0.05f);
}

TEST_F(ProjectileFlightTest, AZeppelinPartRidesOnItsHullAndWhenDestroyedExplodesDownAndShakesTheCamera) {
    auto* hull = addTarget(GameController::kEnemyList, 100.0f, 50.0f, 64.0f);
    hull->rotation.z = 0.3f;
    hull->setScale(2.0f);
    auto* part = new ZeppelinPart(7.0f);
    part->owner.set(hull);
    part->offset = Vector3{-80.0f, 0.0f, 0.0f};
    list(GameController::kEnemyList).addChildFirst(part);
    tickInScene(*part, 0.0, 0.02);
    const Vector3 expected = hull->xform.transformCoord(part->offset);
    EXPECT_FLOAT_EQ(part->position.x, expected.x);
    EXPECT_FLOAT_EQ(part->position.y, expected.y);
    EXPECT_FLOAT_EQ(part->rotation.z, 0.3f);

    part->takeDamage(nullptr, 7.0f);
    EXPECT_EQ(part->pendingDelete, 1);
    auto* explosion = dynamic_cast<SpriteEffect*>(list(GameController::kEffectList).lastChild);
    ASSERT_NE(explosion, nullptr);
    EXPECT_LT(explosion->particles[0].velocity.y, 0.0f);
    EXPECT_DOUBLE_EQ(game->pScene->camera()->shakeStrength, 0.005);
    EXPECT_DOUBLE_EQ(game->pScene->camera()->shakeDuration, 1.0);

    hull->destroy();  // a hull gone first leaves the part where it is
    EXPECT_EQ(part->owner.get(), nullptr);
    tickInScene(*part, 0.02, 0.02);
    EXPECT_FLOAT_EQ(part->position.x, expected.x);
}
