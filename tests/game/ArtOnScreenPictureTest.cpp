// Pictures of the game's own art where the screens put text on it, drawn by the program
// with its real textures and fonts: the players panel over the title menu (with the
// contrast of its caption against the panel), the high-score table and the results
// screen's rating tip over the sky, and the arrow keys' names in every font. The snow
// is taken away and time is stepped by hand, so each run draws the same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"
#include "language/Language.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"
#include "render/ReferenceImage.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextPlayers.h"
#include "ui/MenuFonts.h"
#include "ui/ProgramFixture.h"
#include "ui/Snowfall.h"
#include "ui/TextFont.h"

namespace {
constexpr double kFrame = 1.0 / 32.0;  // a binary fraction: the steps add up exactly

// Relative luminance of an sRGB colour (0xRRGGBB), 0..1.
double luminance(std::uint32_t rgb) {
    double sum = 0.0;
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    for (int c = 0; c < 3; ++c) {
        const double v = static_cast<double>((rgb >> (16 - 8 * c)) & 0xFFu) / 255.0;
        sum += weights[c] * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return sum;
}

// The four arrow keys' names (Up, Left, Right, Down) in each menu font, on a mid grey.
class ArrowNames : public Context {
public:
    ArrowNames() { clearColor = 0xFF7890A8u; }
    void renderContents() override {
        const KeyNames& names = qor->language().keyName;
        std::u16string line;
        for (int code : {200, 203, 205, 208}) line += names.get(code) + u"  ";
        float y = 150.0f;
        for (int font : {MenuFonts::kTiny, MenuFonts::kSmall, MenuFonts::kMedium, MenuFonts::kLarge}) {
            if (TextFont* f = MenuFonts::get(font)) f->drawTextAt(Vector3{0.0f, y, 0.0f}, 0xFFFFFFFFu, 0x14, line);
            y -= 90.0f;
        }
    }
};

class ArtOnScreenPicture : public ProgramFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n"
               "[Qor]\ndefaultLanguage=0\nbEnableDelayedLoad=No\n";
    }
    void SetUp() override {
        ProgramFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        ASSERT_TRUE(skipToTheTitle());
    }

    // Every screen on the stack and the menus' backdrop, with their snow taken away.
    static void withoutSnow() {
        std::vector<QorBase*> open{global->pContextManager, global->pMenuBackground};
        while (!open.empty()) {
            QorBase* node = open.back();
            open.pop_back();
            if (auto* snow = dynamic_cast<Snowfall*>(node)) snow->flakes.clear();
            for (ChildIterator it(node); !it.done; it.next()) open.push_back(static_cast<QorBase*>(it.current));
        }
    }
    // A screen pushed on the stack, ticked by the stack for `seconds` of stepped time.
    void show(Context* screen, double seconds) {
        global->pContextManager->addChild(screen);
        useSteppedClock(kFrame);
        frames(static_cast<int>(seconds / kFrame));
        withoutSnow();
    }
    void expectPicture(Context& screen, const std::string& name) {
        int w = 0, h = 0;
        pixels = drawOffScreen(screen, w, h);
        EXPECT_TRUE(ReferenceImage::matches(name, pixels, w, h, 24, 400));
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * 800 + x] & 0xFFFFFFu; }

    std::vector<std::uint32_t> pixels;  // the last picture, 800 x 480
};

TEST_F(ArtOnScreenPicture, PlayersPanelOverTheTitleMenuIsOpaqueAndItsCaptionReads) {
    for (const char16_t* name : {u"Bob", u"Carla Longname-Lastname"}) global->profiles.createProfile(name);
    auto* players = new ContextPlayers();
    show(players, 2.0);
    expectPicture(*players, "art-players-over-title");
    // The caption "Players" stands 30 units below the panel's top (384 high, centred):
    // its darkest pixel against the panel's most common colour around it.
    std::vector<std::uint32_t> around;
    double darkest = 1.0;
    for (int y = 64; y < 94; ++y)
        for (int x = 340; x < 460; ++x) {
            around.push_back(at(x, y));
            darkest = std::min(darkest, luminance(at(x, y)));
        }
    std::sort(around.begin(), around.end());
    std::uint32_t panel = around.front();
    for (std::size_t i = 0, run = 0, best = 0; i < around.size(); ++i) {
        run = i > 0 && around[i] == around[i - 1] ? run + 1 : 1;
        if (run > best) best = run, panel = around[i];
    }
    const double contrast = (luminance(panel) + 0.05) / (darkest + 0.05);
    std::printf("caption contrast against the panel (%06X): %.2f:1\n", panel, contrast);
    // The caption is black at half opacity: over pure white, the best face there is, it
    // comes to 3.95:1. The face is that light.
    EXPECT_GE(contrast, 3.9);
    // Nothing of the title menu shows through the panel's face: it is one colour between
    // the list's rows and the buttons, wherever the logo and the buttons stand behind it.
    for (int x = -250; x <= 250; x += 50) EXPECT_EQ(at(400 + x, 240 + 40), at(400, 240 + 40)) << x;
}

TEST_F(ArtOnScreenPicture, HighScoreTableWithNamesOverTheSky) {
    for (const char16_t* name : {u"Ann", u"Bob", u"Carla Longname-Lastname", u"Dave"})
        global->configuration.insertScore(1, 30000 + static_cast<int>(name[0]) * 10, true, name);
    global->lastHighScorePlace = 1;
    auto* scores = new ContextHighScores(1);
    show(scores, 2.0);
    expectPicture(*scores, "art-high-scores");
}

TEST_F(ArtOnScreenPicture, RatingTipOverTheSkyAndFireworks) {
    Random::seed(11);
    auto* finished = new GameController();
    finished->playerSides = 1;
    finished->palmsPerIsland = 4;
    finished->scoreTable = 1;
    finished->playerData[0]->bHuman = 1;
    finished->playerData[0]->rating = 0.01f;  // below the table: the tip is shown
    static_cast<GameGlobal*>(global)->pCurrentGame = finished;
    auto* results = new GameControllerResults();
    global->pContextManager->addChild(results);
    results->onActivate(true);
    // Ticked as the stack ticks its top screen, from a clock at 0, to 2 s into the tip.
    qor->timer.frameStart = 0.0;
    for (int n = 0; results->state < 6 || n < 64; n += results->state < 6 ? 0 : 1) {
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += kFrame;
        results->tick(0.0, 0.0);
    }
    withoutSnow();
    expectPicture(*results, "art-rating-tip");
    static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
    delete finished;
}

TEST_F(ArtOnScreenPicture, ArrowKeysAreNamedWithTheirOwnArrowsInEveryFont) {
    ArrowNames names;
    expectPicture(names, "art-arrow-key-names");
}
}  // namespace
