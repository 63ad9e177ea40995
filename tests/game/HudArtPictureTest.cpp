// The in-game display and the logo drawn with the game's own pictures and fonts: the
// program runs to its title menu (which loads every texture), then a game shows both
// sides' HUDs at rest over the sky, every text a label plate carries is measured against
// its plate in both languages (a text too long even squeezed is cut), a leaving label
// goes behind the HUD's plate unseen, labels are hidden with the plate under a tip's
// black bar (in no step of the bar stand under it), the screen stack's frame rate stands clear of what the HUDs show in
// its corner, and the logo stands alone on the screen's grey.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/Random.h"
#include "engine/Strings.h"
#include "game/ContextPaused.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/FontQuad.h"
#include "render/ReferenceImage.h"
#include "render/Skin.h"
#include "support/ChangedBox.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/ContextPopup.h"
#include "ui/IrisOverlay.h"
#include "ui/LogoImage.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr std::int32_t kWidestScore = 99999999;
constexpr int kEnglish = 0;
constexpr int kGerman = 1;

// Every text a label plate carries: the weapons' names and the bonus balloons' notices,
// helpful ones and sabotage.
constexpr int kLabelTexts[] = {
    StringId::WEAPONAUTOGUN,
    StringId::WEAPONBOMB,
    StringId::WEAPONBULLET,
    StringId::WEAPONCANNONBALL,
    StringId::WEAPONLASER,
    StringId::WEAPONLIGHTNING,
    StringId::WEAPONROCKET,
    StringId::WEAPONSWARM,
    StringId::BONUSOFFENSIVEDESC,
    StringId::BONUSDEFENSIVEDESC,
    StringId::BONUSBLASTERDESC,
    StringId::BONUSLESSBLASTERDESC,
    StringId::BONUSSLOWTURNINGRATEDESC,
    StringId::BONUSSLOWSPEEDDESC,
};

// The label text of `language` that is widest in the small font.
std::u16string widestLabel(int language) {
    FontQuad& font = *global->fonts[Global::kFontSmall];
    std::u16string widest;
    for (int id : kLabelTexts) {
        const std::u16string text = qor->language().getString(language, id);
        if (font.measureText(false, nullptr, 0, text).width > font.measureText(false, nullptr, 0, widest).width)
            widest = text;
    }
    return widest;
}

class HudArtPicture : public ProgramFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n"
               "[Qor]\ndefaultLanguage=0\nbEnableDelayedLoad=No\n";
    }
    // A game as the current one, seen from above the islands, without touch controls
    // over its display.
    static GameController* startQuietGame() {
        Random::seed(4711);
        auto* game = new GameController();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        global->pContextManager->addChild(game);
        game->pScene->camera()->setPosition(0.0f, 250.0f, -320.0f);
        qor->input().setInputMode(QorInput::kModeNone);
        return game;
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
    static void queueLabel(HudOverlay& hud, const std::u16string& text, bool bSabotage = false) {
        auto* label = new WeaponButton(hud.side, 0, bSabotage, text);
        label->progress = 1.0f;
        hud.addChild(label);
    }

    // The whole screen stack drawn once, its frame rate shown or not, always reading 88.8.
    static std::vector<std::uint32_t> stackDrawn(bool bFrameRate) {
        ContextManager& stack = *global->pContextManager;
        global->configuration.bShowFps = bFrameRate ? 1 : 0;
        stack.displayedFrameRate = 88.8f;  // no frame runs: the rate's window stays open
        int w = 0, h = 0;
        return drawOffScreen(stack, w, h);
    }
    // The pixels the frame rate's text changes.
    static ChangedBox frameRateInk() { return changedBox(stackDrawn(true), stackDrawn(false), 800, 480); }
    // The pixels the HUDs' scores change, the frame rate not shown.
    static ChangedBox scoreInk() {
        const std::vector<std::uint32_t> with = stackDrawn(false);
        FontQuad* font = std::exchange(global->fonts[Global::kFontHUD], nullptr);
        const std::vector<std::uint32_t> without = stackDrawn(false);
        global->fonts[Global::kFontHUD] = font;
        return changedBox(with, without, 800, 480);
    }
    static void print(const char* what, const ChangedBox& box) {
        std::printf("%s: rows %d..%d, columns %d..%d\n", what, box.top, box.bottom, box.left, box.right);
    }
};
}  // namespace

// Both sides with the widest score, their bars with the heart and the bolt beside them,
// and a label waiting in each queue: a weapon's name on the left, a bonus on the right.
TEST_F(HudArtPicture, BothSidesWithTheWidestScoreIconsAndWaitingLabels) {
    ASSERT_TRUE(skipToTheTitle());
    GameController* game = startQuietGame();
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

// The frame rate stays in the top-right corner where nothing lies under it, and steps
// down just below the right side's score, or below the labels under it, where they
// would meet: through a pause screen and a tip too, but not while a tip's black bar
// hides the HUD. In a one-sided game in touch mode it steps below the pause button.
TEST_F(HudArtPicture, TheFrameRateStandsClearOfWhatTheHudsShowInItsCorner) {
    ASSERT_TRUE(skipToTheTitle());
    global->pContextManager->pOverlay->level = global->pContextManager->pOverlay->target = 0.0f;
    const ChangedBox home = frameRateInk();
    print("frame rate on the title", home);
    ASSERT_FALSE(home.empty());
    GameController* game = startQuietGame();
    EXPECT_EQ(frameRateInk().top, home.top) << "the HUDs out of view leave the corner free";
    side(*game, 0, 1.0f, 1.0f);
    HudOverlay& right = side(*game, 1, 1.0f, 1.0f);
    for (HudOverlay* hud : game->pHud) hud->tick(0.0, 0.0);
    for (int language : {kEnglish, kGerman}) {
        qor->language().setLanguage(language);
        const ChangedBox rate = frameRateInk(), score = scoreInk();
        print("frame rate", rate);
        print("scores", score);
        EXPECT_TRUE(rate.apartFrom(score, 2));
        EXPECT_GT(rate.top, score.bottom);
        EXPECT_LE(rate.top, score.bottom + 16) << "no lower than the score needs";
        EXPECT_EQ(rate.right, home.right);
    }
    qor->language().setLanguage(kEnglish);
    const ChangedBox belowScore = frameRateInk();
    EXPECT_TRUE(ReferenceImage::matches("hud-frame-rate-below-score", stackDrawn(true), 800, 480, 24, 200));

    // A pause screen shows the game dimmed, and its question shows both; the rate keeps
    // its step.
    auto* pause = new ContextPaused();
    global->pContextManager->addChild(pause);
    EXPECT_EQ(frameRateInk().top, belowScore.top);
    auto* question = new ContextPopup();
    question->text = u"Are you sure?";
    question->setup();
    global->pContextManager->addChild(question);
    EXPECT_EQ(frameRateInk().top, belowScore.top);
    for (Context* screen : {static_cast<Context*>(question), static_cast<Context*>(pause)}) {
        global->pContextManager->removeChild(screen);
        screen->destroy();
    }

    // A label under the score: the rate goes below it.
    queueLabel(right, u"Lightning");
    auto* lightning = static_cast<WeaponButton*>(right.firstChild);
    right.tick(0.0, 0.0);
    const std::vector<std::uint32_t> withLabel = stackDrawn(false);
    lightning->bHidden = 1;
    const ChangedBox label = changedBox(withLabel, stackDrawn(false), 800, 480);
    lightning->bHidden = 0;
    const ChangedBox rate = frameRateInk();
    print("label", label);
    print("frame rate under a label", rate);
    EXPECT_TRUE(rate.apartFrom(label, 2));
    EXPECT_GT(rate.top, label.bottom);
    EXPECT_LE(rate.top, label.bottom + 14);
    lightning->destroy();

    // A tip over the game: the rate moves with the HUD while the black bar is short, and
    // goes back to the corner once the bar hides the score.
    auto* tip = new InGameOverlay();
    global->pContextManager->addChild(tip);
    tip->barSize = 0.0f;
    EXPECT_EQ(frameRateInk().top, belowScore.top);
    tip->barSize = InGameOverlay::kBarShown;
    EXPECT_EQ(frameRateInk().top, home.top);
    global->pContextManager->removeChild(tip);
    tip->destroy();

    // One side, touch mode: the pause button stands in the top-right corner.
    game->playerSides = 1;
    right.bHidden = 1;
    right.slide = 0.0f;
    right.tick(0.0, 0.0);
    qor->input().setInputMode(QorInput::kModeTouch);
    game->pHud[0]->tick(0.0, 0.0);
    ASSERT_TRUE(game->pHud[0]->showsTouchButton());
    const std::vector<std::uint32_t> withButton = stackDrawn(false);
    Skin* button = std::exchange(game->pHud[0]->touchButton.pSkin, nullptr);
    const ChangedBox buttonInk = changedBox(withButton, stackDrawn(false), 800, 480);
    game->pHud[0]->touchButton.pSkin = button;
    const ChangedBox touchRate = frameRateInk();
    print("pause button", buttonInk);
    print("frame rate under it", touchRate);
    EXPECT_TRUE(touchRate.apartFrom(buttonInk, 2));
    EXPECT_LE(touchRate.top, buttonInk.bottom + 14);
    qor->input().setInputMode(QorInput::kModeNone);
}

// A tip's black bar at its full height hides the HUD's plate, and the label beside it
// ("Wendigkeit halbiert!" under the right side's score) goes with it instead of standing
// half under the bar. As the bar withdraws off the plate the label is back.
TEST_F(HudArtPicture, ALabelIsHiddenWithItsPlateUnderATipsBlackBar) {
    ASSERT_TRUE(skipToTheTitle());
    global->pContextManager->pOverlay->level = global->pContextManager->pOverlay->target = 0.0f;
    GameController* game = startQuietGame();
    HudOverlay& right = side(*game, 1, 1.0f, 1.0f);
    qor->language().setLanguage(kGerman);
    queueLabel(right, qor->language().getString(StringId::BONUSSLOWTURNINGRATEDESC), true);
    auto* label = static_cast<WeaponButton*>(right.firstChild);
    right.tick(0.0, 0.0);
    auto labelInk = [label] {
        const std::vector<std::uint32_t> with = stackDrawn(false);
        label->bHidden = 1;
        // Softpipe rounds a few pixels elsewhere a level apart once the label is gone.
        const ChangedBox ink = changedBox(with, stackDrawn(false), 800, 480, 1);
        label->bHidden = 0;
        return ink;
    };
    auto* tip = new InGameOverlay();
    global->pContextManager->addChild(tip);
    tip->barSize = InGameOverlay::kBarShown;
    const ChangedBox hidden = labelInk();
    EXPECT_TRUE(hidden.empty()) << "rows " << hidden.top << ".." << hidden.bottom;
    tip->barSize = HudOverlay::kPlateDepth - 3.0f;
    const ChangedBox back = labelInk();
    print("label as the bar withdraws", back);
    EXPECT_GT(back.bottom, static_cast<int>(tip->barSize)) << "below the bar";
    global->pContextManager->removeChild(tip);
    tip->destroy();
    qor->language().setLanguage(kEnglish);
}

// As a tip's bar comes down over the left side's plate, half a pixel a step: in no step
// is "Tempo halbiert!" drawn while the bar covers every pixel of the plate (the plate's
// picture ends well above its skin's box), and in every step more than a pixel short of
// that it is still drawn.
TEST_F(HudArtPicture, NoLabelStandsUnderABarThatCoversItsPlateAtAnyStepOfTheBar) {
    ASSERT_TRUE(skipToTheTitle());
    global->pContextManager->pOverlay->level = global->pContextManager->pOverlay->target = 0.0f;
    GameController* game = startQuietGame();
    HudOverlay& left = side(*game, 0, 1.0f, 1.0f);
    qor->language().setLanguage(kGerman);
    queueLabel(left, qor->language().getString(StringId::BONUSSLOWSPEEDDESC), true);
    auto* label = static_cast<WeaponButton*>(left.firstChild);
    left.tick(0.0, 0.0);
    // The pixels that change when `hide` takes a part away; `show` puts it back.
    auto ink = [](auto hide, auto show) {
        const std::vector<std::uint32_t> with = stackDrawn(false);
        hide();
        // Softpipe rounds a few pixels elsewhere a level apart once a part is gone.
        const ChangedBox changed = changedBox(with, stackDrawn(false), 800, 480, 1);
        show();
        return changed;
    };
    // A label's bHidden keeps its text: the label leaves the queue instead.
    auto takeLabel = [&] { left.removeChild(label); };
    auto putLabel = [&] { left.addChild(label); };
    Skin* plate = left.pSkin;
    auto plateShows = [&] {
        takeLabel();
        const bool shows = !ink([&] { left.pSkin = nullptr; }, [&] { left.pSkin = plate; }).empty();
        putLabel();
        return shows;
    };
    auto labelShows = [&] { return !ink(takeLabel, putLabel).empty(); };
    auto* tip = new InGameOverlay();
    global->pContextManager->addChild(tip);
    std::vector<std::pair<float, bool>> steps;  // bar, label shown; while the plate shows
    float covering = 0.0f;
    for (float bar = 30.0f; bar <= InGameOverlay::kBarShown && covering == 0.0f; bar += 0.5f) {
        tip->barSize = bar;
        if (plateShows())
            steps.emplace_back(bar, labelShows());
        else
            covering = bar;
    }
    std::printf("the bar first covers the plate at %.1f units\n", static_cast<double>(covering));
    ASSERT_GT(covering, 0.0f);
    for (float bar = covering; bar <= InGameOverlay::kBarShown; bar += 0.5f) {
        tip->barSize = bar;
        EXPECT_FALSE(labelShows()) << "under a bar of " << bar;
    }
    for (auto [bar, shown] : steps)
        EXPECT_TRUE(shown || bar >= covering - 1.0f) << "with a bar of " << bar << " short of the plate's end";
    global->pContextManager->removeChild(tip);
    tip->destroy();
    qor->language().setLanguage(kEnglish);
}

// Each text stands inside its plate, ending at least the label's margin short of the
// plate's inner end, and no text is squeezed so much that it stops reading as the font.
TEST_F(HudArtPicture, EveryLabelTextFitsItsPlateInBothLanguages) {
    ASSERT_TRUE(skipToTheTitle());
    FontQuad& font = *global->fonts[Global::kFontSmall];
    for (bool bSabotage : {false, true}) {
        WeaponButton label(0, 0, bSabotage, u"");
        ASSERT_NE(label.pSkin, nullptr);
        const float plateEnd = WeaponButton::kTextOffset + label.pSkin->width / 2.0f;
        for (int language : {kEnglish, kGerman}) {
            float tightest = plateEnd;
            for (int id : kLabelTexts) {
                label.text = qor->language().getString(language, id);
                SCOPED_TRACE(wideToUtf8(label.text));
                ASSERT_FALSE(label.text.empty());
                const WeaponButton::FittedText fitted = label.fitText(font);
                EXPECT_EQ(fitted.text, label.text);
                const float drawn = font.measureText(false, nullptr, 0, label.text).width * fitted.squeeze;
                EXPECT_LE(drawn, plateEnd - WeaponButton::kTextMargin + 0.01f);
                EXPECT_GE(fitted.squeeze, WeaponButton::kMinSqueeze);
                tightest = std::min(tightest, plateEnd - drawn);
            }
            if (bSabotage) continue;
            const std::u16string widest = widestLabel(language);
            std::printf("language %d: widest label \"%s\", %.1f units wide in the small font, %.1f units to spare\n",
                        language, wideToUtf8(widest).c_str(), font.measureText(false, nullptr, 0, widest).width,
                        tightest);
        }
    }
}

// A text far too long for the plate is not squeezed thinner than kMinSqueeze: it is cut
// after as many characters as then fit and ends in "...", in either language.
TEST_F(HudArtPicture, ATextTooLongForThePlateIsCutWithDots) {
    ASSERT_TRUE(skipToTheTitle());
    FontQuad& font = *global->fonts[Global::kFontSmall];
    auto width = [&font](const std::u16string& t) { return font.measureText(false, nullptr, 0, t).width; };
    WeaponButton label(1, 0, false, u"");
    const float room = label.textRoom();
    for (const char16_t* text :
         {u"Double blaster capacity and shields for the whole of the next wave!",
          u"Doppelte Blaster-Kapazit\u00E4t und Schutzschild f\u00FCr die gr\u00F6\u00DFte Welle!"}) {
        label.text = text;
        SCOPED_TRACE(wideToUtf8(label.text));
        ASSERT_GT(width(label.text) * WeaponButton::kMinSqueeze, room);
        const WeaponButton::FittedText fitted = label.fitText(font);
        EXPECT_GE(fitted.squeeze, WeaponButton::kMinSqueeze);
        EXPECT_LE(fitted.squeeze, 1.0f);
        EXPECT_LE(width(fitted.text) * fitted.squeeze, room + 0.01f);
        ASSERT_GT(fitted.text.size(), 10u);  // most of the plate still holds words
        const std::u16string head = fitted.text.substr(0, fitted.text.size() - 3);
        EXPECT_EQ(fitted.text.substr(head.size()), u"...");
        EXPECT_EQ(label.text.substr(0, head.size()), head);
        EXPECT_NE(head.back(), u' ');
        // One more character would not have fitted.
        const std::u16string longer = label.text.substr(0, head.size() + 1) + u"...";
        EXPECT_GT(width(longer) * WeaponButton::kMinSqueeze, room);
    }
    // A text that just fits at kMinSqueeze is squeezed whole, not cut.
    label.text = u"Laser";
    while (width(label.text + u"r") * WeaponButton::kMinSqueeze <= room) label.text += u"r";
    const WeaponButton::FittedText whole = label.fitText(font);
    EXPECT_EQ(whole.text, label.text);
    EXPECT_GE(whole.squeeze, WeaponButton::kMinSqueeze);
}

// A label leaving upward slides behind the HUD's plate and is hidden there: no pixel
// that the plate covers (those that change when it alone is left out) changes when the
// leaving label's text is left out, all the way until the label is gone.
TEST_F(HudArtPicture, ALeavingLabelsTextIsHiddenBehindThePlate) {
    ASSERT_TRUE(skipToTheTitle());
    GameController* game = startQuietGame();
    HudOverlay& hud = side(*game, 0, 1.0f, 1.0f);
    hud.tick(0.0, 0.0);
    constexpr int kUpperHalf = 240;  // rows: the plate's lower half, leaving out the bonus corner
    int w = 0, h = 0;
    const std::vector<std::uint32_t> withPlate = drawOffScreen(*game, w, h);
    Skin* plate = hud.pSkin;
    hud.pSkin = nullptr;
    const std::vector<std::uint32_t> withoutPlate = drawOffScreen(*game, w, h);
    hud.pSkin = plate;
    // The plate's face: the pixels it changes with all their neighbours two pixels
    // around, which leaves out its anti-aliased rim.
    std::vector<bool> face(static_cast<std::size_t>(w) * kUpperHalf, false);
    auto covered = [&](int x, int y) {
        const std::size_t i = static_cast<std::size_t>(y) * w + x;
        return x >= 0 && x < w && y >= 0 && y < kUpperHalf &&
               (withPlate[i] & 0xFFFFFFu) != (withoutPlate[i] & 0xFFFFFFu);
    };
    int faceRows = 0;
    for (int y = 0; y < kUpperHalf; ++y)
        for (int x = 0; x < w; ++x) {
            bool inside = true;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) inside = inside && covered(x + dx, y + dy);
            face[static_cast<std::size_t>(y) * w + x] = inside;
            if (inside) faceRows = y + 1;
        }
    ASSERT_GT(faceRows, 20);
    queueLabel(hud, widestLabel(kEnglish));  // long enough to run under the bars' deeper band
    queueLabel(hud, u"Laser");
    auto* leaving = static_cast<WeaponButton*>(hud.firstChild);
    hud.tick(0.0, 0.0);
    hud.buttonTimer = HudOverlay::kButtonShowTime;
    int shown = 0, worst = 0;
    ChangedBox textBox;
    // Until the label is deleted, when the queue's offset drops back by a label.
    float offset = hud.buttonOffset;
    for (int frame = 0; hud.buttonOffset >= offset; ++frame) {
        ASSERT_LT(frame, 64) << "the label never left";
        offset = hud.buttonOffset;
        const std::vector<std::uint32_t> whole = drawOffScreen(*game, w, h);
        const std::u16string text = leaving->text;
        leaving->text.clear();
        const std::vector<std::uint32_t> untexted = drawOffScreen(*game, w, h);
        leaving->text = text;
        textBox = changedBox(whole, untexted, w, kUpperHalf);
        if (!textBox.empty()) ++shown;
        for (std::size_t i = 0; i < face.size(); ++i)
            if (face[i]) worst = std::max(worst, channelDifference(whole[i], untexted[i]));
        hud.tick(0.0, 1.0 / 32.0);
    }
    std::printf("the leaving text showed in %d frames and changed the plate's pixels by %d at most\n", shown, worst);
    EXPECT_GT(shown, 0);
    EXPECT_TRUE(textBox.empty()) << "rows " << textBox.top << ".." << textBox.bottom;  // wholly behind at the end
    EXPECT_LE(worst, 8);
}

// The widest label of each language on both sides, a bonus and a sabotage.
TEST_F(HudArtPicture, TheWidestLabelsOfBothLanguagesOnTheirPlates) {
    ASSERT_TRUE(skipToTheTitle());
    GameController* game = startQuietGame();
    for (int s = 0; s < 2; ++s) {
        HudOverlay& hud = side(*game, s, 1.0f, 1.0f);
        queueLabel(hud, widestLabel(kEnglish), s == 1);
        queueLabel(hud, widestLabel(kGerman), s == 0);
        queueLabel(hud, qor->language().getString(kGerman, StringId::WEAPONLIGHTNING));
    }
    for (HudOverlay* hud : game->pHud) hud->tick(0.0, 0.0);  // places the HUDs and their labels
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = drawOffScreen(*game, w, h);
    EXPECT_TRUE(ReferenceImage::matches("hud-widest-labels", pixels, w, h, 24, 200));
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
