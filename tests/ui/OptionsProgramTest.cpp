// The options inside the running program, driven by the player's own mouse and keys:
// every settings screen opens, changes a value and applies it (the volumes are measured
// in the recorded output, the display goes full screen and back, a video mode and the
// detail level reach the graphics service), the values survive the language change's
// restart, which comes back through the language selection into the other language;
// and both players' fire keys, rebound on their key pages, fire in an Invasion.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/BasicLink.h"
#include "game/ContextInvasionRules.h"
#include "game/GameControllerCampaign.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/QorGraphics.h"
#include "render/VideoMode.h"
#include "support/FrameStep.h"
#include "support/MixRecording.h"
#include "ui/ContextAdvancedOptions.h"
#include "ui/ContextControls.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextHelp.h"
#include "ui/ContextKeyCapture.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextOptions.h"
#include "ui/ContextSound.h"
#include "ui/KeyBindingItem.h"
#include "ui/LanguageFlag.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuItemChoice.h"
#include "ui/MenuItemVolume.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kF = 33, kG = 34, kSpace = 57, kLeftShift = 42;

class OptionsProgramTest : public ScreenSizedProgramFixture {
protected:
    void SetUp() override {
        recording.begin();
        ProgramFixture::SetUp();
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        recording.end();
    }
    ContextMenu* topMenu() { return top<ContextMenu>(); }
    // A click on a point of the top screen's world, wherever the window now is (the
    // viewport is measured in drawable pixels, the window's events in its own units),
    // `settle` frames after the press and after the release.
    void clickWorld(const Vector3& world, int settle = 3) {
        const Vector3 screen = topMenu()->worldToScreen(world);
        const Vector3 pixel = qor->graphics().viewportMapping().toWindow(screen);
        int w = 0, h = 0, dw = 0, dh = 0;
        SDL_GetWindowSize(window.handle(), &w, &h);
        SDL_GL_GetDrawableSize(window.handle(), &dw, &dh);
        const float sx = dw > 0 ? static_cast<float>(w) / static_cast<float>(dw) : 1.0f;
        const float sy = dh > 0 ? static_cast<float>(h) / static_cast<float>(dh) : 1.0f;
        click(static_cast<int>(pixel.x * sx), static_cast<int>(pixel.y * sy), settle);
    }
    void clickOn(const Renderable& widget) { clickWorld(widget.position); }
    // An arrow acts on its press: a frame after each is enough, however many there are.
    void clickArrow(MenuItemValue& item, bool right, int times = 1) {
        for (int i = 0; i < times; ++i)
            clickWorld(item.local2world(right ? item.rightArrowPoint() : item.leftArrowPoint()), 1);
    }
    template <class T>
    T* item(const char16_t* caption) {
        for (BasicLink* c = topMenu()->firstChild; c; c = c->next)
            if (auto* i = dynamic_cast<T*>(static_cast<QorBase*>(c)); i && i->caption == caption) return i;
        return nullptr;
    }
    void back() {
        Context* was = global->pContextManager->top();
        tapKey(kEscape);
        ASSERT_TRUE(tickUntil([&] { return global->pContextManager->top() != was; }, 20));
    }
    // The level (RMS of both channels) of what the program plays over the next
    // `seconds`, a frame's worth after each of its frames, once a change made before has
    // ramped in (over one of the mixer's blocks, well within a frame's worth).
    float levelOver(double seconds) {
        const auto frame = [this] { frames(1); };
        MixRecording::record(kFrameStep, kFrameStep, frame);
        return MixRecording::rms(MixRecording::record(seconds, kFrameStep, frame));
    }
    // From the logo to the title once more, after a restart that keeps the profile.
    void throughTheIntro() {
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
        global->pContextManager->top()->bFinished = 1;
        ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
        click(20, 20);
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    }
    // The title, with the scripted input mapping the pointer through the real viewport
    // (which moves when the window goes full screen).
    void startWithTheViewport() {
        startToTheTitle();
        qor->pQorInput->viewportSource = [] { return qor->graphics().viewportMapping(); };
    }
    MixRecording recording;
};

TEST_F(OptionsProgramTest, EveryScreenChangesAndAppliesItsValuesWhichSurviveTheLanguageRestart) {
    startWithTheViewport();
    GameConfiguration* c = &global->configuration;
    clickOn(*top<ContextMainGame>()->optionsItem);
    auto* options = top<ContextOptions>();
    ASSERT_NE(options, nullptr);

    // Gameplay: in-game help off.
    clickOn(*options->pGameplay);
    ASSERT_EQ(c->bInGameHelp, 1);
    clickOn(*item<MenuItemCheckbox>(u"In-game help"));
    EXPECT_EQ(c->bInGameHelp, 0);
    back();

    // Sound: each volume press is heard at once; mute silences everything. Which of two
    // steps is louder is the settings' own test: two stretches of the music differ by
    // more than the 4 dB between steps 15 and 24.
    constexpr float kHeard = 0.005f, kSilent = 0.0005f;
    clickOn(*options->pSound);
    ASSERT_NE(top<ContextSound>(), nullptr);
    EXPECT_GT(levelOver(0.5), kHeard);
    auto* sound = item<MenuItemVolume>(u"Sound volume");
    auto* music = item<MenuItemVolume>(u"Music volume");
    clickArrow(*sound, false, 24);
    EXPECT_EQ(c->soundVolume, 0);
    clickArrow(*music, false, 15);
    EXPECT_EQ(c->musicVolume, 0);
    EXPECT_LT(levelOver(0.4), kSilent);
    clickArrow(*music, true, 24);
    EXPECT_EQ(c->musicVolume, 24);
    EXPECT_GT(levelOver(0.5), kHeard);
    clickOn(*item<MenuItemCheckbox>(u"Mute audio"));
    EXPECT_LT(levelOver(0.4), kSilent);
    MixRecording::release();
    clickOn(*item<MenuItemCheckbox>(u"Mute audio"));
    clickArrow(*sound, true, 20);
    back();

    // Graphics: low detail takes the text shadows away at the next application.
    clickOn(*options->pGraphics);
    auto* detail = item<MenuItemChoice>(u"Detail");
    ASSERT_NE(detail, nullptr);
    clickArrow(*detail, false);
    EXPECT_EQ(c->detail, 0);
    EXPECT_EQ(qor->graphics().bHighDetail, 1);

    // Advanced: full screen, then a window of another mode (the display offers two).
    qor->graphics().addVideoMode(640, 384);
    clickOn(*top<ContextGraphics>()->pAdvanced);
    auto* advanced = top<ContextAdvancedOptions>();
    ASSERT_NE(advanced, nullptr);
    ASSERT_FALSE(advanced->modeNames.empty());
    EXPECT_TRUE(advanced->pLetterbox->bDisabled);
    clickOn(*advanced->pFullScreen);
    EXPECT_EQ(c->bFullScreen, 1);
    EXPECT_FALSE(advanced->pLetterbox->bDisabled);
    back();
    frames(3);
    EXPECT_EQ(qor->graphics().bFullScreen, 1);
    EXPECT_EQ(qor->graphics().bHighDetail, 0);
    clickOn(*top<ContextGraphics>()->pAdvanced);
    advanced = top<ContextAdvancedOptions>();
    ASSERT_NE(advanced, nullptr);
    clickOn(*advanced->pFullScreen);
    const int chosen = advanced->selectedMode == 0 ? 1 : 0;
    clickArrow(*item<MenuItemChoice>(u"Video mode"), chosen > advanced->selectedMode);
    ASSERT_EQ(advanced->selectedMode, chosen);
    const std::u16string modeName = advanced->modeNames[static_cast<std::size_t>(chosen)];
    back();
    frames(3);
    EXPECT_EQ(qor->graphics().bFullScreen, 0);
    const VideoMode* mode = static_cast<VideoMode*>(qor->graphics().videoModes.firstChild);
    for (int i = 0; i < chosen; ++i) mode = static_cast<VideoMode*>(mode->next);
    EXPECT_EQ(mode->toString(), modeName);
    EXPECT_EQ(qor->graphics().videoModeWidth, mode->width);
    const int modeWidth = mode->width;
    back();

    // The wizard, help and the key pages open and close.
    clickOn(*options->pNetworkWizard);
    EXPECT_TRUE(topIs<ContextNetworkWizard1>());
    back();
    clickOn(*options->pHelp);
    EXPECT_TRUE(topIs<ContextHelp>());
    back();
    clickOn(*options->pControls);
    EXPECT_TRUE(topIs<ContextControls>());
    back();

    // Language: the restart asks for the language, the other one is chosen, and every
    // changed value is back.
    clickOn(*options->pLanguage);
    ASSERT_TRUE(tickUntil([] {
        for (BasicLink* child = global->pContextManager->top()->firstChild; child; child = child->next)
            if (dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(child))) return true;
        return false;
    }));
    LanguageFlag* german = nullptr;
    for (BasicLink* child = topMenu()->firstChild; child; child = child->next)
        if (auto* flag = dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(child)); flag && flag->languageIndex == 1)
            german = flag;
    ASSERT_NE(german, nullptr);
    // The new start is in touch mode: a first click, away from the flags, takes the
    // mouse back (which puts the cursor where the pointer was parked).
    click(1, 1);
    clickOn(*german);
    throughTheIntro();
    EXPECT_EQ(qor->defaultLanguage, 1);
    EXPECT_EQ(std::u16string(qor->language().getString(StringId::OPTIONS)), u"Optionen");
    c = &global->configuration;
    EXPECT_EQ(c->bInGameHelp, 0);
    EXPECT_EQ(c->detail, 0);
    EXPECT_EQ(c->musicVolume, 24);
    EXPECT_EQ(c->soundVolume, 20);
    EXPECT_EQ(c->bFullScreen, 0);
    EXPECT_EQ(qor->graphics().videoModeWidth, modeWidth);
}

TEST_F(OptionsProgramTest, BothPlayersFireKeysReboundOnTheirPagesFireInAnInvasion) {
    startToTheTitle();
    clickOn(*top<ContextMainGame>()->optionsItem);
    clickOn(*top<ContextOptions>()->pControls);
    clickOn(*top<ContextControls>()->pKeyboard);
    EXPECT_NE(top<ContextDialog>(), nullptr);
    back();
    for (int player = 0; player < 2; ++player) {
        auto* controls = top<ContextControls>();
        ASSERT_NE(controls, nullptr);
        clickOn(player == 0 ? *controls->pPlayer1 : *controls->pPlayer2);
        auto* fire = item<KeyBindingItem>(u"Fire");
        ASSERT_NE(fire, nullptr);
        clickOn(*fire);
        ASSERT_NE(top<ContextKeyCapture>(), nullptr);
        tapKey(player == 0 ? kF : kG);
        ASSERT_NE(top<ContextDialog>(), nullptr);
        EXPECT_EQ(global->configuration.keys[GameConfiguration::kKeyFire][player], player == 0 ? kF : kG);
        back();
    }
    back();
    back();

    // A two-player Invasion: each new key fires its own side's weapon, the old ones nothing.
    // Without the in-game help, as a tip over the game would take the keys.
    useSteppedClock(kFrameStep);
    global->configuration.invasionPlayers = 1;
    global->configuration.bInGameHelp = 0;
    clickOn(*top<ContextMainGame>()->startGameItem);
    clickOn(*top<ContextGameMode>()->pInvasion);
    clickOn(*top<ContextInvasionRules>()->pStartNew);
    auto game = [] { return dynamic_cast<GameControllerCampaign*>(dynamic_cast<GameGlobal*>(global)->pCurrentGame); };
    ASSERT_TRUE(tickUntil(
        [&] {
            return game() && topIs<GameControllerCampaign>() &&
                   game()->state == GameControllerCampaign::State::kPlaying;
        },
        400));
    ASSERT_NE(game(), nullptr);
    ASSERT_EQ(game()->playerSides, 2);
    // A shot moves its weapon's ready time on. Counting shells would miss one that hits
    // something as it leaves.
    auto readyTimes = [&] {
        std::array<double, 2> t{};
        for (int side = 0; side < 2; ++side) {
            const Vehicle* v = game()->playerData[side]->pVehicle;
            t[side] = v && v->weapon ? v->weapon->nextReadyTime : -1.0;
        }
        return t;
    };
    for (int code : {kSpace, kLeftShift}) {
        const auto before = readyTimes();
        tapKey(code);
        EXPECT_EQ(readyTimes(), before) << code;
    }
    int sideOf[2] = {-1, -1};
    for (int player = 0; player < 2; ++player) {
        const auto before = readyTimes();
        devices->keys[player == 0 ? kF : kG] = 0x80;
        frames(2);
        devices->keys[player == 0 ? kF : kG] = 0;
        const auto after = readyTimes();
        for (int side = 0; side < 2; ++side)
            if (after[side] != before[side]) sideOf[player] = side;
        frames(20);
    }
    EXPECT_NE(sideOf[0], -1);
    EXPECT_NE(sideOf[1], -1);
    EXPECT_NE(sideOf[0], sideOf[1]);
}
}  // namespace

// Options -> Language with the mouse moving all the while: a move waits before every
// frame, so the window always reports one between the old engine's teardown and the new
// one's build, as a real window does while it changes size.
TEST_F(OptionsProgramTest, TheLanguageChangesAgainAndAgainWithTheMouseMovingThroughEachRestart) {
    startWithTheViewport();
    bMouseMoving = true;
    for (int round = 0; round < 3; ++round) {
        auto* title = top<ContextMainGame>();
        ASSERT_NE(title, nullptr);
        clickOn(*title->optionsItem);
        auto* options = top<ContextOptions>();
        ASSERT_NE(options, nullptr);
        clickOn(*options->pLanguage);
        ASSERT_TRUE(tickUntil([] {
            for (BasicLink* child = global->pContextManager->top()->firstChild; child; child = child->next)
                if (dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(child))) return true;
            return false;
        }));
        const int language = (round + 1) % 2;
        LanguageFlag* flag = nullptr;
        for (BasicLink* child = topMenu()->firstChild; child; child = child->next)
            if (auto* f = dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(child)); f && f->languageIndex == language)
                flag = f;
        ASSERT_NE(flag, nullptr);
        clickOn(*flag);
        throughTheIntro();
        EXPECT_EQ(qor->defaultLanguage, language);
    }
}
