#include <gtest/gtest.h>

#include <algorithm>

#include "game/AnnouncementText.h"
#include "game/GameControllerIntro.h"
#include "game/GameGlobal.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
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
        addSilentSounds({u"bombWhistle", u"treeBurn", u"nyuck"});
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
    // On top: its world, the view high above, the screen black and opening.
    EXPECT_EQ(currentGame(), intro);
    EXPECT_EQ(count(GameController::kIslandList), 1);
    EXPECT_EQ(count(GameController::kPalmList), 1);
    const BlenderCamera& camera = *intro->pScene->camera();
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
    // The glide down to the island began at 6 s.
    const auto* glide = dynamic_cast<const PointCamera*>(camera.firstChild);
    ASSERT_NE(glide, nullptr);
    EXPECT_DOUBLE_EQ(glide->blendTime, 10.0);
    runUntil(10.0);
    EXPECT_EQ(intro->pAnnouncement->text, u"deep in the south pacific...");

    // The bomb comes at 19 s and, falling one screen height, lands on the palm.
    runUntil(18.96875);
    EXPECT_EQ(count(GameController::kBombList), 0);
    step();
    ASSERT_EQ(count(GameController::kBombList), 1);
    const Palm* palm = intro->getPlayerData(0)->palms[0];
    while (palm->isStanding() && intro->localTime < 25.0) step();
    EXPECT_NEAR(intro->localTime, 19.0 + 2.7386, 0.1);
    EXPECT_EQ(palm->state, Palm::kBurning);
    EXPECT_EQ(count(GameController::kBombList), 0);

    runUntil(29.96875);
    EXPECT_EQ(iris().target, 0.0f);
    step();
    EXPECT_EQ(iris().target, 1.0f);
    runUntil(32.0);
    EXPECT_TRUE(intro->bFinished);
    const Vector3 mouse = engine.input().pointerPosition;
    step();
    // Gone: the title is on top, no game is current, and the mouse's pointer is where
    // the mouse is (a touch's would wait on the title's first item).
    EXPECT_EQ(stack->top(), title);
    EXPECT_EQ(currentGame(), nullptr);
    EXPECT_EQ(engine.input().inputMode, QorInput::kModeMouse);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.x, mouse.x);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, mouse.y);
}

TEST_F(GameControllerIntroTest, BuildsItsWorldOnceWhateverCoversItAndTakesNoRules) {
    runUntil(8.0);
    auto* cover = new Context();
    cover->bDeleteOnClose = 1;
    stack->addChild(cover);
    step();
    cover->bFinished = 1;
    step();
    intro->onActivate(true);
    // Back on top with the same world, the glide still under way and the screen open.
    EXPECT_EQ(currentGame(), intro);
    EXPECT_EQ(count(GameController::kIslandList), 1);
    EXPECT_EQ(count(GameController::kVehicleList), 2);
    EXPECT_NE(intro->pScene->camera()->firstChild, nullptr);
    EXPECT_LT(iris().level, 1.0f);

    std::fill(std::begin(global->configuration.mutators), std::end(global->configuration.mutators), 1);
    GameControllerIntro fresh;
    for (std::uint8_t flag : {fresh.bMatrixFight, fresh.bBerserk, fresh.bNoBlaster, fresh.bBloatedProjectiles,
                              fresh.bBouncyBombs, fresh.bAutocannons, fresh.bPX35})
        EXPECT_EQ(flag, 0);
}

namespace {
// 0 Escape, 1 and 2 the two players' fire keys, 3 a touch.
class GameControllerIntroSkipTest : public GameControllerIntroTest, public ::testing::WithParamInterface<int> {};
}  // namespace

TEST_P(GameControllerIntroSkipTest, EscapeAFireKeyOrATouchClosesItAtOnce) {
    ScriptedDevices& devices = engine.scriptInput();
    runUntil(1.0);
    const auto& fire = global->configuration.keys[GameConfiguration::kKeyFire];
    const int keys[] = {1, fire[0], fire[1]};
    if (GetParam() < 3)
        devices.keys[keys[GetParam()]] = 0x80;
    else
        engine.input().addMouseContact();
    step();
    EXPECT_TRUE(intro->bFinished);
    step();
    EXPECT_EQ(stack->top(), title);
    EXPECT_EQ(currentGame(), nullptr);
    // Without a mouse the pointer waits on the title's first item.
    EXPECT_EQ(engine.input().inputMode, QorInput::kModeTouch);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.x, 592.0f);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 32.0f);
}

INSTANTIATE_TEST_SUITE_P(Ways, GameControllerIntroSkipTest, ::testing::Range(0, 4));
