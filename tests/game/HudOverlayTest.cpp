#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/InvasionWorld.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"
#include "ui/MenuPictureFixture.h"

namespace {
constexpr double kTick = 1.0 / 32.0;

void tickFor(HudOverlay& hud, double seconds) {
    for (double t = 0.0; t < seconds - 1e-9; t += kTick) hud.tick(0.0, kTick);
}
}  // namespace

class HudOverlayTest : public InvasionWorld {};

TEST_F(HudOverlayTest, SlidesInFromBeyondTheEdgeAsAMirrorImageOfTheOtherSide) {
    GameControllerCampaign& game = start(2);
    HudOverlay& left = *game.pHud[0];
    HudOverlay& right = *game.pHud[1];
    left.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(left.position.x, -528.0f);
    EXPECT_FLOAT_EQ(right.rotation.y, std::numbers::pi_v<float>);
    left.bHidden = right.bHidden = 0;
    tickFor(left, 0.5);
    EXPECT_FLOAT_EQ(left.position.x, -528.0f + 224.0f * 0.75f);  // quick at first
    tickFor(left, 0.75);
    tickFor(right, 1.0);
    EXPECT_FLOAT_EQ(left.position.x, -304.0f);
    EXPECT_FLOAT_EQ(right.position.x, 304.0f);
    EXPECT_FLOAT_EQ(left.position.y, 240.0f);
    // Two sides share the screen: the pause button moves to the middle.
    EXPECT_FLOAT_EQ(left.touchButton.position.x, 0.0f);
    EXPECT_FLOAT_EQ(left.touchButton.position.y, 210.0f);
}

TEST_F(HudOverlayTest, TheScoreCountsUpAndANewScoreRestartsFromTheValueShown) {
    GameControllerCampaign& game = start();
    HudOverlay& hud = *game.pHud[0];
    game.playerData[0]->addMaskedScore(1000);
    hud.tick(0.0, 0.125);
    EXPECT_EQ(hud.shownScore, 0);
    hud.tick(0.0, 0.125);  // a quarter of the way in time: 1 - 0.75^2 of the value
    EXPECT_EQ(hud.shownScore, 437);
    game.playerData[0]->addMaskedScore(1000);
    hud.tick(0.0, 0.125);
    EXPECT_EQ(hud.scoreFrom, 437);
    EXPECT_EQ(hud.shownScore, 437);
    hud.tick(0.0, 0.25);
    EXPECT_EQ(hud.shownScore, 437 + static_cast<int>((2000 - 437) * 0.75f));
    tickFor(hud, 0.5);
    EXPECT_EQ(hud.shownScore, 2000);
}

// Only the first five labels are placed and moved; the oldest leaves 3 s after it became
// the oldest, moving up at 25 units per second until the queue's offset reaches 0.
TEST_F(HudOverlayTest, TheLabelQueueShowsFiveAndTheOldestLeavesUpward) {
    GameControllerCampaign& game = start();
    HudOverlay& hud = *game.pHud[0];
    std::vector<WeaponButton*> labels;
    for (int i = 0; i < 7; ++i) {
        labels.push_back(new WeaponButton(0, 0, false, u"label"));
        hud.addChild(labels.back());
    }
    hud.tick(0.0, kTick);
    EXPECT_FLOAT_EQ(labels[1]->restPosition.y, hud.position.y - 20.0f - 23.0f - 25.0f);
    EXPECT_GT(labels[4]->progress, 0.0f);
    EXPECT_FLOAT_EQ(labels[5]->progress, 0.0f);
    tickFor(hud, 3.75 - kTick);
    EXPECT_EQ(hud.countChildren(), 7);
    EXPECT_GT(hud.buttonOffset, -20.0f);
    tickFor(hud, 0.125);
    EXPECT_EQ(hud.countChildren(), 6);
    EXPECT_EQ(hud.firstChild, labels[1]);
    EXPECT_LE(hud.buttonOffset, -24.0f);
}

TEST_F(HudOverlayTest, TheBonusPanelWidensPerIconUpToEightInOneSecond) {
    GameControllerCampaign& game = start();
    HudOverlay& hud = *game.pHud[0];
    hud.trackIconCount(3);
    tickFor(hud, 0.5);
    EXPECT_FLOAT_EQ(hud.panelWidth, 96.0f * 0.75f);
    hud.trackIconCount(12);  // more icons than the panel shows: it stops at eight
    EXPECT_FLOAT_EQ(hud.panelFrom, 72.0f);
    tickFor(hud, 1.0);
    EXPECT_FLOAT_EQ(hud.panelWidth, 216.0f);
    EXPECT_EQ(hud.iconCount, 8);
    hud.trackIconCount(0);
    tickFor(hud, 1.0);
    EXPECT_FLOAT_EQ(hud.panelWidth, 0.0f);
}

// Both HUDs of a running game over a still clock: score, bars (side 0's defence bonus
// half-way through its pulse), labels, the bonus panel with three icons, the edge arrow
// toward side 1's vehicle out of view, and the touch-screen pause button.
class HudOverlayPicture : public MenuPictureFixture {
protected:
    void SetUp() override {
        MenuPictureFixture::SetUp();
        if (!started) return;
        global = new GameGlobal();
        global->fonts[Global::kFontHUD] = global->fonts[Global::kFontSmall] = font;
        for (const char16_t* name : {u"sky", u"sea", u"snowflake"})
            picture(name, {{16, 16, 0xFF000000u}, {16, 16, 0xFF000000u}});
        picture(u"ovalButtons",
                {{160, 40, 0xFF284878u}, {32, 24, 0xFFF0D020u}, {96, 20, 0xFF408040u}, {96, 20, 0xFF804040u}});
        picture(u"hud-energybar", {{100, 8, 0xFFFFFFFFu}, {100, 8, 0xFFFFFFFFu}});
        picture(u"hud-touchscreen", {{40, 40, 0xFF20A020u}, {40, 40, 0xFF20A0A0u}});
        picture(u"hud-bonusicons", {{20, 20, 0xFFE04040u}, {20, 20, 0xFF40E040u}, {20, 20, 0xFF4040E0u}});
    }
    void TearDown() override {
        if (started) {
            for (Vehicle* v : vehicles) v->destroy();
            if (game) game->destroy();
            delete global;
            global = nullptr;
        }
        MenuPictureFixture::TearDown();
    }
    // A texture with one plain skin per entry (width, height, colour), side by side,
    // registered with its skins as the loading screen registers them.
    struct Plate {
        int w, h;
        std::uint32_t colour;
    };
    void picture(const std::u16string& name, const std::vector<Plate>& plates) {
        int width = 0, height = 0;
        for (const Plate& p : plates) width += p.w, height = std::max(height, p.h);
        std::vector<std::uint32_t> px(static_cast<std::size_t>(width * height), 0u);
        int left = 0;
        for (const Plate& p : plates) {
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x) px[static_cast<std::size_t>(y * width + left + x)] = p.colour;
            left += p.w;
        }
        Texture* texture = makeTexture(holder, width, height, px, false);
        qor->pResourceManager->addResource(texture, name);
        left = 0;
        for (std::size_t i = 0; i < plates.size(); ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(left, 0, plates[i].h, left + plates[i].w);
            texture->skins.push_back(quad);
            qor->pResourceManager->addResource(quad, name + u":" + static_cast<char16_t>(u'0' + i));
            left += plates[i].w;
        }
    }
    Vehicle& vehicle(int side, float health, float energy) {
        auto* v = new Vehicle(side);
        v->health = health;
        v->energy = energy;
        vehicles.push_back(v);
        game->playerData[side]->pVehicle = v;
        return *v;
    }
    HudOverlay& hud(Context& screen, int side, std::int32_t score) {
        game->playerData[side]->addMaskedScore(score);
        auto* h = new HudOverlay(side);
        h->bHidden = 0;
        h->slide = 1.0f;
        h->scoreAnim = 1.0f;
        h->shownScore = h->scoreTarget = score;
        screen.addChild(h);
        return *h;
    }

    GameController* game = nullptr;
    std::vector<Vehicle*> vehicles;
};

TEST_F(HudOverlayPicture, BothSidesScoresBarsLabelsBonusPanelAndEdgeArrow) {
    game = new GameController();
    static_cast<GameGlobal*>(global)->pCurrentGame = game;
    qor->input().setInputMode(QorInput::kModeTouch);
    Vehicle& left = vehicle(0, 0.5f, 0.75f);
    left.defenceFactor = 0.5f;
    for (int i = 0; i < 3; ++i) {
        auto* icon = new Renderable();
        icon->pSkin = static_cast<Skin*>(
            qor->pResourceManager->find(true, u"hud-bonusicons:" + std::u16string(1, static_cast<char16_t>(u'0' + i))));
        left.bonusIcons.addChild(icon);
    }
    Vehicle& right = vehicle(1, 1.0f, 0.25f);
    right.position = Vector3{-1000.0f, 0.0f, 0.0f};
    right.bVisible = 0;

    auto* screen = new Context();
    screen->timeScale = 0.0;  // the clock stands still: every animation holds its place
    holder->addChild(screen);
    HudOverlay& leftHud = hud(*screen, 0, 1234567);
    leftHud.panelFrom = leftHud.panelTo = leftHud.panelWidth = 96.0f;
    leftHud.panelAnim = 1.0f;
    leftHud.iconCount = 3;
    auto* label = new WeaponButton(0, 0, false, u"Laser");
    label->progress = 1.0f;
    leftHud.addChild(label);
    hud(*screen, 1, 42);
    expectPicture(screen, "hud-two-sides");
    game->playerData[0]->pVehicle = game->playerData[1]->pVehicle = nullptr;
}
