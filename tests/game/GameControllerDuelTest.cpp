#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/TypedLink.h"
#include "game/AnnouncementText.h"
#include "game/Bomb.h"
#include "game/BonusBalloonKind.h"
#include "game/Bullet.h"
#include "game/CannonAI.h"
#include "game/CannonShell.h"
#include "game/DuelGame.h"
#include "game/FollowCamera.h"
#include "game/GameCamera.h"
#include "game/GameControllerResults.h"
#include "game/HudOverlay.h"
#include "game/Palm.h"
#include "game/Plane.h"
#include "game/PlaneAI.h"
#include "game/PlaneAIDogfight.h"
#include "game/WeaponBombBay.h"
#include "game/WeaponCannon.h"
#include "game/WeaponPlaneGun.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/IrisOverlay.h"

namespace {
using State = GameControllerDuel::State;

class GameControllerDuelTest : public DuelGame {
protected:
    template <class T>
    static bool is(const Vehicle* v) {
        return v && typeid(*v) == typeid(T);
    }
    // Ends the round as a plane would and returns the controller-clock time it took
    // to reach `next` (after round 3 the round's end leads on at once).
    double roundEndDelay(std::int32_t next) {
        const double from = duel().localTime;
        duel().onVehicleDestroyed(1);
        runFor(2.0);
        duel().onVehicleDestroyed(0);  // a second plane down does not postpone the end
        EXPECT_TRUE(runUntilState(next, 5.0));
        return duel().localTime - from;
    }
};
}  // namespace

// A war from its start through three rounds of roles, the end of a day, and its end
// after the last day; the saves at every round and the cleared save at the end.
TEST_F(GameControllerDuelTest, AWarRunsItsDaysAndRoundsWithTheirRolesDelaysAndSaves) {
    GameControllerDuel& g = start(2, 4);
    EXPECT_TRUE(g.computerPlayers == 1 && g.aiSkill == 1.0f);
    ASSERT_TRUE(runUntilState(State::kFight, 2.0));
    EXPECT_EQ(g.pAnnouncement->text, u"Fight!");
    ASSERT_TRUE(runUntilState(State::kDayTitle, 6.0));
    EXPECT_EQ(g.day, 1);
    EXPECT_EQ(g.pAnnouncement->text, u"Day 1 of 5");
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(player(s).livePalms, 3);
        EXPECT_EQ(g.pHud[s]->bHidden, 0);
    }
    // Round by round: who flies, who is the computer, which weapon, and the save made
    // before the round counts up.
    const auto roles = [&](int round) {
        const Vehicle* v0 = player(0).pVehicle.get();
        const Vehicle* v1 = player(1).pVehicle.get();
        switch (round) {
            case 1:
                EXPECT_TRUE(is<Plane>(v0) && is<CannonAI>(v1));
                EXPECT_NE(dynamic_cast<WeaponBombBay*>(v0->weapon), nullptr);
                EXPECT_NE(dynamic_cast<WeaponCannon*>(v1->weapon), nullptr);
                EXPECT_EQ(v0->parent, &list(GameController::kPlaneList));
                EXPECT_TRUE(v0->position.y >= 50.0f && v0->position.y < 400.0f);
                break;
            case 2:
                EXPECT_TRUE(is<Cannon>(v0) && is<PlaneAI>(v1));
                EXPECT_NE(dynamic_cast<WeaponBombBay*>(v1->weapon), nullptr);
                EXPECT_EQ(v0->parent, &list(GameController::kVehicleList));
                break;
            default:
                EXPECT_TRUE(is<Plane>(v0) && is<PlaneAIDogfight>(v1));
                EXPECT_NE(dynamic_cast<WeaponPlaneGun*>(v0->weapon), nullptr);
                EXPECT_NE(dynamic_cast<WeaponPlaneGun*>(v1->weapon), nullptr);
        }
    };
    for (int round = 1; round <= 3; ++round) {
        ASSERT_TRUE(runUntilState(State::kRoundSetup, 3.0)) << round;
        EXPECT_EQ(g.round, round);
        EXPECT_TRUE(profileBlock().validData());
        EXPECT_EQ(profileBlock().bytes.getS32(SavedGame::kRound), round - 1);
        ProfileData onDisk = engine.profileOnDisk();  // the autosave outlives a crash
        EXPECT_TRUE(SavedGame(onDisk.duelGame).validData());
        EXPECT_EQ(SavedGame(onDisk.duelGame).bytes.getS32(SavedGame::kRound), round - 1);
        roles(round);
        parkVehicles();
        ASSERT_TRUE(runUntilState(State::kPlaying, 1.1));
        EXPECT_NE(dynamic_cast<GameCamera*>(g.pScene->camera()->lastChild), nullptr);
        if (round == 3) {
            g.onPalmsDestroyed(0);  // no end in the dogfight
            runFor(4.0);
            EXPECT_EQ(g.state, State::kPlaying);
        }
        EXPECT_NEAR(roundEndDelay(round == 3 ? State::kFadeOut : State::kRoundOver), 3.0, 2 * kStep);
    }
    EXPECT_FLOAT_EQ(global->pContextManager->pOverlay->target, 1.0f);
    ASSERT_TRUE(runUntilState(State::kDayTitle, 2.1));
    EXPECT_EQ(g.day, 2);
    EXPECT_EQ(player(0).livePalms, 3);

    // The last day: the end of its last round clears the save and brings the results.
    g.days = 2;
    ASSERT_TRUE(runUntilState(State::kPlaying, 4.0));
    g.round = 3;
    parkVehicles();
    g.onVehicleDestroyed(0);
    ASSERT_TRUE(runUntilState(State::kEnd, 10.0));
    EXPECT_FALSE(profileBlock().validData());
    ProfileData atTheEnd = engine.profileOnDisk();
    EXPECT_FALSE(SavedGame(atTheEnd.duelGame).validData());
    EXPECT_TRUE(g.bFinished);
    EXPECT_NE(dynamic_cast<GameControllerResults*>(global->pContextManager->top()), nullptr);
}

// The last palm of a side in rounds 1 and 2 ends the round, with the camera on the other
// side; outside play it does nothing, and a plane down after the round ended does not
// end the next one early.
TEST_F(GameControllerDuelTest, LostPalmsEndAnAttackRoundOnlyWhilePlaying) {
    GameControllerDuel& g = start();
    ASSERT_TRUE(runUntilState(State::kRoundSetup, 10.0));
    parkVehicles();
    g.onPalmsDestroyed(1);
    EXPECT_EQ(g.stateGoto, State::kPlaying);
    ASSERT_TRUE(runUntilState(State::kPlaying, 1.1));
    g.onPalmsDestroyed(1);
    EXPECT_NE(dynamic_cast<FollowCamera*>(g.pScene->camera()->lastChild), nullptr);
    ASSERT_TRUE(runUntilState(State::kRoundOver, 3.1));
    g.onVehicleDestroyed(0);
    EXPECT_EQ(g.stateGoto, State::kBetweenRounds);
}

struct RatingCase {
    int opponent;  // 1 friend, 2 computer (0 too)
    int difficulty;
    bool halved;
    int s0, s1;
    int winner;
    float rating;
};

class DuelRatingTest : public DuelGame, public ::testing::WithParamInterface<RatingCase> {};

TEST_P(DuelRatingTest, TheWinnerIsRatedByTheLosersShareAndTheComputersSkill) {
    const RatingCase& c = GetParam();
    GameControllerDuel& g = start(c.opponent, c.difficulty);
    g.bRatingHalved = c.halved ? 1 : 0;
    player(0).addMaskedScore(c.s0);
    player(1).addMaskedScore(c.s1);
    g.computeRating();
    EXPECT_EQ(g.winnerSide, c.winner);
    EXPECT_NEAR(player(c.winner).rating, c.rating, 1e-6);
    EXPECT_EQ(player(1 - c.winner).rating, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, DuelRatingTest,
                         ::testing::Values(RatingCase{1, 2, false, 1000, 500, 0, 0.25f},   // a friend: 0.5 x (1 - L/W)
                                           RatingCase{1, 2, false, 800, 800, 0, 0.0f},     // a tie goes to side 0
                                           RatingCase{2, 0, false, 1000, 0, 0, 0.2f},      // the weakest computer
                                           RatingCase{0, 0, false, 1000, 0, 0, 0.2f},      // "Alone": the computer
                                           RatingCase{2, 4, false, 1000, 0, 0, 1.0f},      // the strongest
                                           RatingCase{2, 2, false, 1000, 500, 0, 0.375f},  // r 0.625 x 0.6
                                           RatingCase{2, 4, true, 1000, 500, 0, 0.375f},   // halved: r 0.75 x 0.5
                                           RatingCase{2, 2, false, 400, 1000, 1,
                                                      0.3f},                          // the computer wins: r 0.6 x 0.5
                                           RatingCase{2, 2, false, 0, 0, 0, 0.0f}));  // nobody scored

// Each pass hits only what its filter lets through: bombs hit the other side's standing
// palms, shots hit the other side's bombs and flying planes, balloons take any shot, and
// the cannons are never tested.
TEST_F(GameControllerDuelTest, TheCollisionPassPairsOnlyTheListsAndSidesItShould) {
    GameControllerDuel& g = start();
    parkVehicles();
    Palm* enemyPalm = player(1).palms[0].get();
    Palm* ownPalm = player(0).palms[0].get();
    enemyPalm->calcBounds();
    ownPalm->calcBounds();
    const Vector3 at = enemyPalm->boundsCentre;
    const Vector3 own = ownPalm->boundsCentre;
    auto* bomb = place(GameController::kBombList, new Bomb(0, at.x, at.y, 0.0f, 0.0f, 0.0f, 0.0f));
    auto* ownBomb = place(GameController::kBombList, new Bomb(0, own.x, own.y, 0.0f, 0.0f, 0.0f, 0.0f));
    auto* plane = place(GameController::kPlaneList, new Plane(1));
    plane->setPosition(0.0f, 200.0f, 0.0f);
    auto* cannon = place(GameController::kVehicleList, new Cannon(1));
    cannon->setPosition(0.0f, 100.0f, 0.0f);
    auto* shell = place(GameController::kCannonShellList, new CannonShell(0, 0.0f, 200.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    shell->setPosition(0.0f, 200.0f, 0.0f);
    auto* ownBullet = place(GameController::kBulletList, new Bullet(1, 0.0f, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    g.spawnBonusBalloon(own.x, own.y, 0.0f, 90.0);
    for (GameEntity* e :
         std::initializer_list<GameEntity*>{bomb, ownBomb, plane, cannon, shell, ownBullet, enemyPalm, ownPalm}) {
        e->updateXform();
        e->calcBounds();
    }
    for (BasicLink* c = list(GameController::kBonusBalloonList).firstChild; c; c = c->next)
        static_cast<GameEntity*>(c)->calcBounds();
    TypedLink<Bomb> hit;  // the pass may delete a spent shot at once
    hit = bomb;
    g.collide();
    EXPECT_LT(enemyPalm->health, enemyPalm->maxHealth);
    EXPECT_EQ(ownPalm->health, ownPalm->maxHealth);
    EXPECT_TRUE(!hit || hit->pendingDelete);
    EXPECT_TRUE(ownBomb->pendingDelete);  // taken by the balloon instead
    EXPECT_LT(plane->health, plane->maxHealth);
    EXPECT_EQ(cannon->health, cannon->maxHealth);
    EXPECT_FALSE(ownBullet->pendingDelete);
}

// Balloons come only while a round is played, never below the water line, and each
// draws the time of the next.
TEST_F(GameControllerDuelTest, TimedBalloonsComeOnlyInPlayAndAboveTheWater) {
    GameControllerDuel& g = start();
    g.nextBonusTime = -1.0;
    g.spawnTimedBonus();
    EXPECT_EQ(count(list(GameController::kBonusBalloonList)), 0);
    g.nextBonusTime = 1.0e9;
    ASSERT_TRUE(runUntilState(State::kPlaying, 12.0));
    parkVehicles();
    g.pScene->camera()->setPosition(0.0f, -100.0f, -640.0f);  // the view reaches below the sea
    g.pScene->pCamera->position = Vector3{0.0f, -100.0f, -640.0f};
    for (int i = 0; i < 20; ++i) {
        g.nextBonusTime = g.localTime - 1.0;
        g.spawnTimedBonus();
        EXPECT_GT(g.nextBonusTime, g.localTime);
    }
    EXPECT_EQ(count(list(GameController::kBonusBalloonList)), 20);
    for (BasicLink* c = list(GameController::kBonusBalloonList).firstChild; c; c = c->next)
        EXPECT_GE(static_cast<GameEntity*>(c)->position.y, 0.0f);
}

// A war continued from its save: the palms as the day left them (a burnt one stays
// lost, a damaged one damaged, the live count agrees), a fresh bonus time, no slow
// motion from the saving run, the Berserk speed.
TEST_F(GameControllerDuelTest, AContinuedWarRestoresItsPalmsAndTimesItsClocksAfresh) {
    global->configuration.mutators[0] = 1;  // Matrix fight
    global->configuration.mutators[1] = 1;  // Berserk
    GameControllerDuel& g = start();
    ASSERT_TRUE(runUntilState(State::kPlaying, 12.0));
    parkVehicles();
    Palm* burnt = player(1).palms[0].get();
    Palm* hurt = player(1).palms[1].get();
    burnt->takeDamage(nullptr, 100.0f);
    hurt->takeDamage(nullptr, hurt->maxHealth * 0.25f);
    const float hurtHealth = hurt->health;
    const Vector3 burntAt = burnt->position;
    g.onVehicleDestroyed(0);
    ASSERT_TRUE(runUntilState(State::kRoundSetup, 5.0));
    ASSERT_EQ(player(1).livePalms, 2);
    // What the saving run's clocks left in the block.
    const SavedGame saved = profileBlock();
    saved.bytes.putF64(SavedGame::kNextBonusTime, 1.0e9);
    saved.bytes.putF64(SavedGame::kSlowMotionEnd, 1.0e9);
    saved.bytes.putF64(SavedGame::kSpeed, 1.0);

    global->configuration.mutators[0] = global->configuration.mutators[1] = 0;
    GameControllerDuel& c = start(2, 2, &saved);
    ASSERT_TRUE(c.bContinued);
    EXPECT_EQ(c.state, 0);
    EXPECT_EQ(c.stateGoto, State::kRoundSetup);
    EXPECT_EQ(c.round, 1);
    EXPECT_EQ(player(1).livePalms, 2);
    EXPECT_EQ(player(1).palms[0]->state, Palm::kBurnt);
    EXPECT_FLOAT_EQ(player(1).palms[0]->position.x, burntAt.x);
    EXPECT_FLOAT_EQ(player(1).palms[1]->health, hurtHealth);
    EXPECT_EQ(player(0).livePalms, 3);
    EXPECT_LE(c.nextBonusTime, c.localTime + 70.0);
    EXPECT_EQ(c.slowMotionEnd, 0.0);
    EXPECT_EQ(c.speed, 2.0);
    EXPECT_EQ(c.pScene->timeScale, 2.0);
    ASSERT_TRUE(runUntilState(State::kRoundSetup, 1.1));
    EXPECT_EQ(c.round, 2);
}
