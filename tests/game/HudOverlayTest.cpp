#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <vector>

#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/InvasionWorld.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"
#include "inputaudio/QorInput.h"
#include "ui/ContextManager.h"
#include "ui/MenuPictureFixture.h"

namespace {
constexpr double kTick = 1.0 / 32.0;

void tickFor(HudOverlay& hud, double seconds) {
    for (double t = 0.0; t < seconds - 1e-9; t += kTick) hud.tick(0.0, kTick);
}
}  // namespace

class HudOverlayTest : public InvasionWorld {};

// In from beyond the edge within a second, quick at first; side 1 the mirror image; with
// two sides the pause button stands in the middle. The bonus panel widens per icon,
// up to eight, in a second.
TEST_F(HudOverlayTest, SlidesInMirroredAndWidensItsBonusPanel) {
    GameControllerCampaign& game = start(2);
    HudOverlay& left = *game.pHud[0];
    HudOverlay& right = *game.pHud[1];
    EXPECT_FLOAT_EQ(left.position.x, -528.0f);
    EXPECT_FLOAT_EQ(right.rotation.y, std::numbers::pi_v<float>);
    left.bHidden = right.bHidden = 0;
    tickFor(left, 0.5);
    EXPECT_FLOAT_EQ(left.position.x, -528.0f + 224.0f * 0.75f);
    tickFor(left, 0.75);
    tickFor(right, 1.0);
    EXPECT_FLOAT_EQ(left.position.x, -304.0f);
    EXPECT_FLOAT_EQ(left.position.y, 240.0f);
    EXPECT_FLOAT_EQ(right.position.x, 304.0f);
    EXPECT_TRUE(left.touchButton.isPointInside(Vector3{20.0f, 190.0f, 0.0f}));
    EXPECT_FALSE(left.touchButton.isPointInside(Vector3{360.0f, 210.0f, 0.0f}));

    left.trackIconCount(3);
    tickFor(left, 0.5);
    EXPECT_FLOAT_EQ(left.panelWidth, 96.0f * 0.75f);
    left.trackIconCount(12);
    EXPECT_FLOAT_EQ(left.panelFrom, 72.0f);
    tickFor(left, 1.0);
    EXPECT_FLOAT_EQ(left.panelWidth, 216.0f);
}

TEST_F(HudOverlayTest, TheScoreCountsUpAndANewScoreRestartsFromTheValueShown) {
    GameControllerCampaign& game = start();
    HudOverlay& hud = *game.pHud[0];
    game.playerData[0]->addMaskedScore(1000);
    hud.tick(0.0, 0.125);
    hud.tick(0.0, 0.125);  // a quarter of the way in time: 1 - 0.75^2 of the value
    EXPECT_EQ(hud.shownScore, 437);
    game.playerData[0]->addMaskedScore(1000);
    hud.tick(0.0, 0.125);
    EXPECT_EQ(hud.shownScore, 437);
    hud.tick(0.0, 0.25);
    EXPECT_EQ(hud.shownScore, 437 + static_cast<int>((2000 - 437) * 0.75f));
    tickFor(hud, 0.5);
    EXPECT_EQ(hud.shownScore, 2000);
}

// Only the first five labels are placed and moved; the oldest leaves 3 s after it became
// the oldest, moving up at 25 units per second until the queue's offset reaches 0.
TEST_F(HudOverlayTest, TheLabelQueueShowsFiveAndTheOldestLeavesUpward) {
    HudOverlay& hud = *start().pHud[0];
    std::vector<WeaponButton*> labels;
    for (int i = 0; i < 7; ++i) {
        labels.push_back(new WeaponButton(0, 0, false, u"x"));
        hud.addChild(labels.back());
    }
    hud.tick(0.0, kTick);
    EXPECT_FLOAT_EQ(labels[1]->restPosition.y, hud.position.y - 20.0f - 23.0f - 25.0f);
    EXPECT_GT(labels[4]->progress, 0.0f);
    EXPECT_FLOAT_EQ(labels[5]->progress, 0.0f);
    tickFor(hud, 3.75 - kTick);
    EXPECT_EQ(hud.countChildren(), 7);
    tickFor(hud, 0.125);
    EXPECT_EQ(hud.firstChild, labels[1]);
    EXPECT_LE(hud.buttonOffset, -24.0f);
}

// Before the displays slide in, a touch where the pause button will be is an ordinary
// touch (a shot), not a pause.
TEST_F(HudOverlayTest, ThePauseButtonTakesATouchOnlyWhileTheFirstSidesDisplayShowsIt) {
    GameControllerCampaign& game = start(1);
    HudOverlay& hud = *game.pHud[0];
    ASSERT_NE(hud.touchButton.pSkin, nullptr);
    qor->input().setInputMode(QorInput::kModeTouch);
    game.pOverlay->pointer = hud.touchButton.position;
    EXPECT_FALSE(game.isPauseButtonTouched());
    hud.bHidden = 0;
    EXPECT_TRUE(game.isPauseButtonTouched());
    qor->input().setInputMode(QorInput::kModeMouse);
    EXPECT_FALSE(game.isPauseButtonTouched());
}

// A tip's black bar covers the plate as drawn once it reaches the end of the plate's
// picture, well short of its full height and of the skin's box: the labels beside it go
// with it from there on, unnamed as boxes to keep clear, and come back as the bar
// withdraws and once the tip is gone.
TEST_F(HudOverlayTest, TheLabelsAreHiddenWithThePlateUnderATipsBar) {
    engine.addSkin(u"ovalButtons:0", 256.0f, 96.0f);
    GameControllerCampaign& game = start(2);
    HudOverlay& hud = *game.pHud[1];
    hud.bHidden = 0;
    auto* label = new WeaponButton(1, 0, false, u"Wendigkeit halbiert!");
    hud.addChild(label);
    tickFor(hud, 1.0);
    auto named = [&game, label] {
        std::vector<ViewRect> boxes;
        game.addBoxesToKeepClear(boxes);
        return std::ranges::count_if(
            boxes, [label](const ViewRect& b) { return b.top == label->position.y + label->pSkin->height / 2.0f; });
    };
    EXPECT_FALSE(hud.plateHidden());
    EXPECT_EQ(named(), 1);

    auto* tip = new InGameOverlay();
    global->pContextManager->addChild(tip);
    for (float bar : {InGameOverlay::kBarHidden, 0.0f, HudOverlay::kPlateDepth - 0.25f}) {
        tip->barSize = bar;
        EXPECT_FALSE(hud.plateHidden()) << bar;
        EXPECT_EQ(named(), 1) << bar;
    }
    for (float bar : {HudOverlay::kPlateDepth, InGameOverlay::kBarShown - 1.0f, InGameOverlay::kBarShown}) {
        tip->barSize = bar;
        EXPECT_TRUE(hud.plateHidden()) << bar;
        EXPECT_EQ(named(), 0) << bar;
    }
    std::vector<ViewRect> underTip;
    tip->addBoxesToKeepClear(underTip);
    EXPECT_TRUE(underTip.empty());

    global->pContextManager->removeChild(tip);
    tip->destroy();
    EXPECT_FALSE(hud.plateHidden());
    EXPECT_EQ(named(), 1);
}

// Both HUDs of a game over a still clock: scores, bars (side 0's defence bonus half-way
// through its pulse), a label, the bonus panel with three icons, the edge arrow toward
// side 1's vehicle out of view, and the touch-screen pause button. Plain-coloured skins.
class HudOverlayPicture : public MenuPictureFixture {
protected:
    void SetUp() override {
        MenuPictureFixture::SetUp();
        if (!started) return;
        global = new GameGlobal();
        global->fonts[Global::kFontHUD] = global->fonts[Global::kFontSmall] = font;
        for (const char16_t* name : {u"sky", u"sea", u"snowflake"}) picture(name, 16, 16, {0xFF000000u, 0xFF000000u});
        picture(u"ovalButtons", 96, 32, {0xFF284878u, 0xFFF0D020u, 0xFF408040u, 0xFF804040u});
        picture(u"hud-energybar", 100, 8, {0xFFFFFFFFu, 0xFFFFFFFFu});
        picture(u"hud-touchscreen", 40, 40, {0xFF20A020u, 0xFF20A0A0u});
        picture(u"hud-bonusicons", 20, 20, {0xFFE04040u, 0xFF40E040u, 0xFF4040E0u});
        game = new GameController();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
    }
    void TearDown() override {
        if (started) {
            game->destroy();
            delete global;
            global = nullptr;
        }
        MenuPictureFixture::TearDown();
    }
    // A texture of one w x h skin per colour, side by side, registered with its skins.
    void picture(const std::u16string& name, int w, int h, const std::vector<std::uint32_t>& colours) {
        const int n = static_cast<int>(colours.size());
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * n * h));
        for (std::size_t i = 0; i < px.size(); ++i) px[i] = colours[(i % static_cast<std::size_t>(w * n)) / w];
        Texture* texture = makeTexture(holder, w * n, h, px, false);
        qor->pResourceManager->addResource(texture, name);
        for (int i = 0; i < n; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(w * i, 0, h, w * i + w);
            texture->skins.push_back(quad);
            qor->pResourceManager->addResource(quad, name + u":" + static_cast<char16_t>(u'0' + i));
        }
    }
    // Side `side` with a vehicle (owned by its vehicle list) and a HUD at rest on `screen`.
    HudOverlay& side(Context& screen, int s, float health, float energy, std::int32_t score) {
        auto* v = new Vehicle(s);
        v->health = health;
        v->energy = energy;
        game->layer(GameController::kVehicleList)->addChild(v);
        game->playerData[s]->pVehicle = v;
        game->playerData[s]->addMaskedScore(score);
        auto* hud = new HudOverlay(s);
        hud->bHidden = 0;
        hud->slide = 1.0f;
        hud->shownScore = hud->scoreTarget = score;
        screen.addChild(hud);
        return *hud;
    }
    GameController* game = nullptr;
};

TEST_F(HudOverlayPicture, BothSidesScoresBarsLabelsBonusPanelAndEdgeArrow) {
    qor->input().setInputMode(QorInput::kModeTouch);
    auto* screen = new Context();
    screen->timeScale = 0.0;  // the clock stands still: every animation holds its place
    holder->addChild(screen);
    HudOverlay& left = side(*screen, 0, 0.5f, 0.75f, 1234567);
    side(*screen, 1, 1.0f, 0.25f, 42);
    Vehicle& v = *game->playerData[0]->pVehicle;
    v.defenceFactor = 0.5f;
    for (char16_t i = u'0'; i < u'3'; ++i) {
        auto* icon = new Renderable();
        icon->pSkin = static_cast<Skin*>(qor->pResourceManager->find(true, std::u16string(u"hud-bonusicons:") + i));
        v.bonusIcons.addChild(icon);
    }
    left.panelFrom = left.panelTo = left.panelWidth = 96.0f;
    left.panelAnim = 1.0f;
    left.iconCount = 3;
    auto* label = new WeaponButton(0, 0, false, u"Laser");
    label->progress = 1.0f;
    left.addChild(label);
    Vehicle& away = *game->playerData[1]->pVehicle;
    away.position = Vector3{-1000.0f, 0.0f, 0.0f};
    away.bVisible = 0;
    expectPicture(screen, "hud-two-sides");
}
