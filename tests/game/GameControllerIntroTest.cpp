#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/AnnouncementText.h"
#include "game/Bomb.h"
#include "game/GameControllerIntro.h"
#include "game/GameGlobal.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "render/Texture.h"
#include "support/GameFxWorld.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextManager.h"
#include "ui/IrisOverlay.h"
#include "ui/PointCamera.h"

namespace {
constexpr double kStep = 1.0 / 32.0;  // s: a binary fraction, so that the cue times are hit exactly

// The intro on the screen stack above a stand-in title menu, with blank pictures and
// silent sounds under the names the intro, the palm and the bomb look up.
class GameControllerIntroTest : public GameFxWorld {
protected:
    GameControllerIntroTest() {
        engine.endGame();  // the world's plain game; the intro makes itself the current one
        game = nullptr;
        engine.addTexture(u"island", 2);
        for (const char16_t* name : {u"island:all", u"logo:all", u"cannon:0", u"cannon:1", u"cannon:2"})
            engine.addSkin(name, 64.0f, 32.0f);
        for (const char16_t* name : {u"bombWhistle", u"treeBurn", u"nyuck"}) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        stack = global->pContextManager;
        title = new Context();
        stack->addChild(title);
        intro = new GameControllerIntro();
        stack->addChild(intro);
    }

    // One frame of the program: input, then the screen stack.
    void step() {
        engine.frame(kStep);
        engine.clock.advance(kStep);
        stack->tick(0.0, 0.0);
    }
    void runUntil(double t) {
        while (intro->localTime < t - 1e-9) step();
    }
    int count(int list) const {
        int n = 0;
        for (BasicLink* c = intro->layer(list)->firstChild; c; c = c->next) n += c->pendingDelete ? 0 : 1;
        return n;
    }
    int logoAlpha() const { return static_cast<int>(intro->pLogo->color >> 24); }
    GameController* currentGame() { return engine.app().pCurrentGame; }
    IrisOverlay& iris() const { return *stack->pOverlay; }

    ContextManager* stack = nullptr;
    Context* title = nullptr;              // owned by the stack
    GameControllerIntro* intro = nullptr;  // owned by the stack, deleted once it closes
};
}  // namespace

TEST_F(GameControllerIntroTest, PlaysItsStoryAndHandsOverToTheTitle) {
    EXPECT_EQ(count(GameController::kIslandList), 0);  // nothing is built before it is on top
    step();
    // On top: one island, one palm, two cannons out of sight; the view high above, black.
    EXPECT_EQ(currentGame(), intro);
    EXPECT_EQ(count(GameController::kIslandList), 1);
    EXPECT_EQ(count(GameController::kPalmList), 1);
    EXPECT_EQ(count(GameController::kVehicleList), 2);
    EXPECT_EQ(intro->getPlayerData(1)->pVehicle->weapon, nullptr);
    const BlenderCamera& camera = *intro->pScene->camera();
    EXPECT_FLOAT_EQ(camera.position.y, 405.0f);
    EXPECT_FLOAT_EQ(camera.position.z, -960.0f);
    EXPECT_GT(iris().level, 0.9f);
    EXPECT_EQ(iris().target, 0.0f);

    runUntil(2.96875);
    EXPECT_EQ(logoAlpha(), 0);
    runUntil(5.0);
    EXPECT_EQ(logoAlpha(), 255);
    EXPECT_EQ(camera.firstChild, nullptr);
    runUntil(7.03125);
    EXPECT_EQ(logoAlpha(), 0);
    EXPECT_TRUE(intro->pLogo->bHidden);
    // The glide down to the island began at 6 s.
    const auto* glide = dynamic_cast<const PointCamera*>(camera.firstChild);
    ASSERT_NE(glide, nullptr);
    EXPECT_DOUBLE_EQ(glide->blendTime, 10.0);
    EXPECT_FLOAT_EQ(glide->position.y, 135.0f);

    runUntil(10.0);
    EXPECT_EQ(intro->pAnnouncement->text, u"deep in the south pacific...");
    runUntil(16.0);
    EXPECT_EQ(intro->pAnnouncement->text, u"until...");

    // The bomb comes at 19 s and, falling one screen height, lands on the palm.
    runUntil(18.96875);
    EXPECT_EQ(count(GameController::kBombList), 0);
    step();
    ASSERT_EQ(count(GameController::kBombList), 1);
    EXPECT_FLOAT_EQ(static_cast<Bomb*>(intro->layer(GameController::kBombList)->firstChild)->velocity.x, 256.0f);
    const Palm* palm = intro->getPlayerData(0)->palms[0];
    while (palm->isStanding() && intro->localTime < 25.0) step();
    EXPECT_NEAR(intro->localTime, 19.0 + 2.7386, 0.1);
    EXPECT_EQ(palm->state, Palm::kBurning);
    EXPECT_EQ(count(GameController::kBombList), 0);

    runUntil(23.0);
    EXPECT_EQ(intro->pAnnouncement->text, u"uh-oh!");
    runUntil(29.96875);
    EXPECT_EQ(iris().target, 0.0f);
    step();
    EXPECT_EQ(iris().target, 1.0f);
    runUntil(32.0);
    EXPECT_TRUE(intro->bFinished);
    step();
    // Gone: the title is on top, no game is current, the pointer waits on its first item.
    EXPECT_EQ(stack->top(), title);
    EXPECT_EQ(currentGame(), nullptr);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.x, 592.0f);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 32.0f);
}

TEST_F(GameControllerIntroTest, BuildsItsWorldOnceWhateverCoversItAndTakesNoRules) {
    runUntil(8.0);
    auto* cover = new Context();
    stack->addChild(cover);
    step();
    cover->bFinished = 1;
    step();
    intro->onActivate(true);
    // Back on top with the same world, the glide still under way and the screen open.
    EXPECT_EQ(stack->top(), intro);
    EXPECT_EQ(currentGame(), intro);
    EXPECT_EQ(count(GameController::kIslandList), 1);
    EXPECT_EQ(count(GameController::kPalmList), 1);
    EXPECT_EQ(count(GameController::kVehicleList), 2);
    EXPECT_NE(intro->pScene->camera()->firstChild, nullptr);
    EXPECT_LT(iris().level, 1.0f);

    std::fill(std::begin(global->configuration.mutators), std::end(global->configuration.mutators), 1);
    GameControllerIntro fresh;
    for (std::uint8_t flag : {fresh.bMatrixFight, fresh.bBerserk, fresh.bNoBlaster, fresh.bBloatedProjectiles,
                              fresh.bBouncyBombs, fresh.bAutocannons, fresh.bPX35})
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(fresh.bLimitBombRange, 0);
    EXPECT_EQ(fresh.playerSides, 1);
}

namespace {
enum class Skip { kEscape, kFirstFireKey, kSecondFireKey, kTouch };

class GameControllerIntroSkipTest : public GameControllerIntroTest, public ::testing::WithParamInterface<Skip> {};

std::string skipName(const ::testing::TestParamInfo<Skip>& info) {
    static const char* const kNames[] = {"Escape", "FirstFireKey", "SecondFireKey", "Touch"};
    return kNames[static_cast<int>(info.param)];
}
}  // namespace

TEST_P(GameControllerIntroSkipTest, EscapeAFireKeyOrATouchClosesItAtOnce) {
    ScriptedDevices& devices = engine.scriptInput();
    runUntil(1.0);
    const auto& fire = global->configuration.keys[GameConfiguration::kKeyFire];
    switch (GetParam()) {
        case Skip::kEscape:
            devices.keys[1] = 0x80;
            break;
        case Skip::kFirstFireKey:
            devices.keys[fire[0]] = 0x80;
            break;
        case Skip::kSecondFireKey:
            devices.keys[fire[1]] = 0x80;
            break;
        case Skip::kTouch:
            engine.input().addMouseContact();
            break;
    }
    step();
    EXPECT_TRUE(intro->bFinished);
    step();
    EXPECT_EQ(stack->top(), title);
    EXPECT_EQ(currentGame(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Ways, GameControllerIntroSkipTest,
                         ::testing::Values(Skip::kEscape, Skip::kFirstFireKey, Skip::kSecondFireKey, Skip::kTouch),
                         skipName);
