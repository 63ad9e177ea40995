// The in-game display and the logo drawn with the game's own pictures and fonts: the
// program runs to its title menu (which loads every texture), then a game shows both
// sides' HUDs at rest over the sky, and the logo stands alone on the screen's grey.
#include <gtest/gtest.h>

#include <string>

#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"
#include "inputaudio/QorInput.h"
#include "render/FontQuad.h"
#include "render/ReferenceImage.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/LogoImage.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr std::int32_t kWidestScore = 99999999;

class HudArtPicture : public ProgramFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n"
               "[Qor]\ndefaultLanguage=0\nbEnableDelayedLoad=No\n";
    }
    // Side `s` at rest with a vehicle at the given health and blaster fractions and the
    // widest score the display has to hold.
    static HudOverlay& side(GameController& game, int s, float health, float energy) {
        auto* v = new Vehicle(s);
        v->health = health * v->fullHealth;
        v->energy = energy * v->energyCap;
        game.layer(GameController::kVehicleList)->addChild(v);
        PlayerData& player = *game.playerData[s];
        player.pVehicle = v;
        player.addMaskedScore(kWidestScore);
        HudOverlay& hud = *game.pHud[s];
        hud.bHidden = 0;
        hud.slide = 1.0f;
        hud.bShowOffscreenArrow = 0;
        hud.scoreFrom = hud.scoreTarget = hud.shownScore = kWidestScore;
        return hud;
    }
    // A label that has arrived and waits as the oldest of its queue.
    static void queueLabel(HudOverlay& hud, const std::u16string& text) {
        auto* label = new WeaponButton(hud.side, 0, false, text);
        label->progress = 1.0f;
        hud.addChild(label);
    }
};
}  // namespace

// Both sides with the widest score, their bars with the heart and the bolt beside them,
// and a label waiting in each queue: a weapon's name on the left, a bonus on the right.
TEST_F(HudArtPicture, BothSidesWithTheWidestScoreIconsAndWaitingLabels) {
    ASSERT_TRUE(skipToTheTitle());
    Random::seed(4711);
    auto* game = new GameController();
    static_cast<GameGlobal*>(global)->pCurrentGame = game;
    global->pContextManager->addChild(game);
    game->pScene->camera()->setPosition(0.0f, 250.0f, -320.0f);
    qor->input().setInputMode(QorInput::kModeNone);  // no touch controls over the display
    queueLabel(side(*game, 0, 0.6f, 0.8f), u"Lightning");
    queueLabel(side(*game, 1, 1.0f, 0.3f), u"Double damage!");
    for (HudOverlay* hud : game->pHud) hud->tick(0.0, 0.0);  // places the HUDs and their labels
    for (HudOverlay* hud : game->pHud) EXPECT_EQ(hud->shownScore, kWidestScore);
    // The score starts 94 units outward of the HUD's x and the bars 30 inward of it: an
    // eight-digit score of the widest digit still leaves a gap before the bars.
    FontQuad& font = *global->fonts[Global::kFontHUD];
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        const std::u16string score = {d, d, u',', d, d, d, u',', d, d, d};
        EXPECT_LE(font.measureText(false, nullptr, 0, score).width, 94.0f + 30.0f - 6.0f) << static_cast<char>(d);
    }
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = drawOffScreen(*game, w, h);
    EXPECT_TRUE(ReferenceImage::matches("hud-art-both-sides", pixels, w, h, 24, 200));
}

// The whole logo, larger than the title menu shows it, on black.
TEST_F(HudArtPicture, TheWholeLogo) {
    ASSERT_TRUE(skipToTheTitle());
    auto* screen = new Context();
    auto* logo = new LogoImage();
    logo->setScale(0.9f);
    screen->addChild(logo);
    global->pContextManager->addChild(screen);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = drawOffScreen(*screen, w, h);
    EXPECT_TRUE(ReferenceImage::matches("logo-whole", pixels, w, h, 24, 200));
}
