// Pictures of the game's own art where the screens put text on it, drawn by the program
// with its real textures and fonts: the players panel over the title menu (with the
// contrast of its caption against the panel), the high-score table and the results
// screen's rating tip over the sky, the menus' help line on its backing at the bottom of
// the screen, the Invasion's keys tip over the cannon (with what changes when a part is
// hidden), the arrow keys' names in every font, and the large font's punctuation with the
// parts of each mark apart. The snow is taken away and time is stepped by hand, so each
// run draws the same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/Random.h"
#include "game/Cannon.h"
#include "game/ContextDuelRules.h"
#include "game/GameController.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/GameLauncher.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"
#include "render/ReferenceImage.h"
#include "support/ChangedBox.h"
#include "support/ResultsShow.h"
#include "support/TextInk.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextPlayers.h"
#include "ui/FadingText.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItem.h"
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

// The marks whose parts an ink ring could join, each on its own in the large font, 100
// units apart along the middle line, on a mid grey; and how many parts each has.
const std::vector<std::pair<std::u16string, std::size_t>> kMarks = {{u":", 2}, {u";", 2}, {u"!", 2},
                                                                    {u"?", 2}, {u"%", 3}, {u"\u2026", 3}};
class PunctuationMarks : public Context {
public:
    PunctuationMarks() { clearColor = 0xFF7890A8u; }
    void renderContents() override {
        float x = -250.0f;
        for (const auto& [mark, parts] : kMarks) {
            MenuFonts::get(MenuFonts::kLarge)->drawTextAt(Vector3{x, 0.0f, 0.0f}, 0xFFFFFFFFu, 0x14, mark);
            x += 100.0f;
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

    void TearDown() override {
        if (finished) {
            static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
            delete finished;
        }
        ProgramFixture::TearDown();
    }

    // The results screen of a finished one-sided game whose player rated `rating`, pushed
    // and ticked as the stack ticks its top screen, from a clock at 0 until `frames`
    // frames into state `state`, with the random tables seeded by `seed`.
    GameControllerResults* showResults(unsigned seed, float rating, int state, int frames) {
        Random::seed(seed);
        finished = new GameController();
        finished->playerSides = 1;
        finished->palmsPerIsland = 4;
        finished->scoreTable = 1;
        finished->playerData[0]->bHuman = 1;
        finished->playerData[0]->rating = rating;
        static_cast<GameGlobal*>(global)->pCurrentGame = finished;
        auto* results = new GameControllerResults();
        global->pContextManager->addChild(results);
        results->onActivate(true);
        runResultsInto(*results, state, frames, kFrame);
        withoutSnow();
        return results;
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
    std::vector<std::uint32_t> drawn(Context& screen) {
        int w = 0, h = 0;
        return drawOffScreen(screen, w, h);
    }
    using Box = ChangedBox;
    static Box changedBox(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
        return ::changedBox(a, b, 800, 480);
    }

    // How many pixels inside `box` differ between two pictures of 800 x 480.
    static int changedInside(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, const Box& box) {
        int n = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * 800 + x;
                n += (a[i] & 0xFFFFFFu) != (b[i] & 0xFFFFFFu) ? 1 : 0;
            }
        return n;
    }
    // A text's pixels (those that change when the text alone is taken away) stay clear
    // of each part under it: hiding the part changes none of them. The parts must reach
    // the text, or there would be nothing to measure.
    void expectClearOf(Context& screen, std::u16string& text, const std::vector<std::vector<Renderable*>>& parts) {
        const std::vector<std::uint32_t> whole = drawn(screen);
        const std::u16string kept = text;
        text.clear();
        const Box textBox = changedBox(whole, drawn(screen));
        text = kept;
        ASSERT_FALSE(textBox.empty()) << "no text drawn";
        for (const std::vector<Renderable*>& part : parts) {
            for (Renderable* r : part) r->bHidden = 1;
            const std::vector<std::uint32_t> without = drawn(screen);
            for (Renderable* r : part) r->bHidden = 0;
            const Box partBox = changedBox(whole, without);
            std::printf("text rows %d..%d, columns %d..%d; part rows %d..%d, columns %d..%d\n", textBox.top,
                        textBox.bottom, textBox.left, textBox.right, partBox.top, partBox.bottom, partBox.left,
                        partBox.right);
            EXPECT_FALSE(partBox.apartFrom(textBox, 2));
            EXPECT_EQ(changedInside(whole, without, textBox), 0);
        }
    }
    // The item of `menu` whose caption or help line is `text`; no item is hovered after.
    static MenuItem* itemOf(ContextMenu& menu, const std::u16string& text) {
        MenuItem* found = nullptr;
        for (ChildIterator it(&menu); !it.done; it.next())
            if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current))) {
                item->bHovered = 0;
                if (item->caption == text || item->helpText == text) found = item;
            }
        return found;
    }
    // `menu` with the item whose help line is the text `hovered` (a string id) hovered.
    static void hover(ContextMenu& menu, int hovered) {
        MenuItem* item = itemOf(menu, qor->language().getString(hovered));
        ASSERT_NE(item, nullptr);
        item->bHovered = 1;
    }

    // Each mark drawn by the program is as many blobs of ink as it has parts: the pixels
    // off the grey, with at least one pixel of grey between two parts.
    void expectMarksApart() {
        PunctuationMarks marks;
        int w = 0, h = 0;
        const std::vector<std::uint32_t> picture = drawOffScreen(marks, w, h);
        const float scale = static_cast<float>(h) / 480.0f;
        const auto box = static_cast<int>(90.0f * scale);
        for (std::size_t k = 0; k < kMarks.size(); ++k) {
            const int left = static_cast<int>((400.0f - 250.0f + 100.0f * static_cast<float>(k)) * scale) - box / 2;
            const int top = h / 2 - box / 2;
            auto inked = [&](int x, int y) {
                const std::uint32_t c = picture[static_cast<std::size_t>(top + y) * w + left + x];
                int off = 0;
                for (int shift : {0, 8, 16})
                    off =
                        std::max(off, std::abs(static_cast<int>((c >> shift & 0xFFu) - (0x7890A8u >> shift & 0xFFu))));
                return off > 40;
            };
            EXPECT_EQ(inkParts(box, box, inked, 1).size(), kMarks[k].second)
                << "mark " << k << " on a window " << w << " x " << h;
        }
    }

    std::vector<std::uint32_t> pixels;   // the last picture, 800 x 480
    GameController* finished = nullptr;  // the game a results screen follows
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

// The name being typed at the first start, on the dialog's snow-white panel: the colour
// most of its letters are drawn in against the panel's colour around it.
TEST_F(ArtOnScreenPicture, TheNameBeingTypedReadsOnThePanel) {
    qor->input().setInputMode(QorInput::kModeMouse);
    auto* entry = new ContextEnterName(false);
    entry->name = u"J\u00FCrgen Weihnacht";
    show(entry, 1.0);
    expectPicture(*entry, "art-name-entry");
    // The name's pixels are those that change when its text is taken away: the colour
    // most of them have (its letters' face) against the colour most of them had (the
    // panel behind it).
    ASSERT_NE(entry->pNameText, nullptr);
    const std::vector<std::uint32_t> named = drawn(*entry);
    entry->pNameText->text.clear();
    const std::vector<std::uint32_t> unnamed = drawn(*entry);
    std::map<std::uint32_t, int> face, behind;
    for (std::size_t i = 0; i < named.size(); ++i)
        if ((named[i] & 0xFFFFFFu) != (unnamed[i] & 0xFFFFFFu)) {
            ++face[named[i] & 0xFFFFFFu];
            ++behind[unnamed[i] & 0xFFFFFFu];
        }
    auto commonest = [](const std::map<std::uint32_t, int>& counts) {
        std::pair<int, std::uint32_t> best{0, 0};
        for (const auto& [colour, n] : counts) best = std::max(best, std::make_pair(n, colour));
        return best.second;
    };
    ASSERT_FALSE(face.empty()) << "no name drawn";
    const std::uint32_t letters = commonest(face), panel = commonest(behind);
    const double contrast = (std::max(luminance(panel), luminance(letters)) + 0.05) /
                            (std::min(luminance(panel), luminance(letters)) + 0.05);
    std::printf("typed name (%06X) against the panel (%06X): %.2f:1\n", letters, panel, contrast);
    EXPECT_GE(contrast, 4.5);
    // The name with its cursor is centred on the dialog, measured as it is drawn.
    const Box name = changedBox(named, unnamed);
    EXPECT_LT(name.right - name.left, 600);
    EXPECT_NEAR(name.left + name.right, 800, 8) << name.left << ".." << name.right;
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
    // Below the table, so the tip is shown: 2 s into it.
    GameControllerResults* results = showResults(11, 0.01f, 6, 64);
    expectPicture(*results, "art-rating-tip");
}

TEST_F(ArtOnScreenPicture, RatingInItsBarAndThePromptClearOfTheCannon) {
    // A first place in a fresh table: 6 s into the place, when the prompt has come.
    GameControllerResults* results = showResults(5, 0.21356f, 5, 192);
    expectPicture(*results, "art-results-place");
    // Where each part is drawn: the pixels that change when it alone is hidden, against
    // a picture drawn just before in the same way.
    auto boxOf = [&](const std::vector<Renderable*>& parts) {
        const std::vector<std::uint32_t> whole = drawn(*results);
        for (Renderable* r : parts) r->bHidden = 1;
        const Box box = changedBox(whole, drawn(*results));
        for (Renderable* r : parts) r->bHidden = 0;
        return box;
    };
    FadingText *prompt = nullptr, *figures = nullptr;
    Renderable* frame = nullptr;
    for (ChildIterator it(results->pTextLayer); !it.done; it.next()) {
        auto* r = dynamic_cast<Renderable*>(it.current);
        if (auto* t = dynamic_cast<FadingText*>(r); t && t->position.y < -200.0f) prompt = t;
        if (auto* t = dynamic_cast<FadingText*>(r); t && t->position.y == 19.0f) figures = t;
        if (r && !dynamic_cast<FadingText*>(r) && r != results->pBarHolder) frame = r;
    }
    auto* cannon = dynamic_cast<Cannon*>(results->playerData[0]->pVehicle.get());
    ASSERT_TRUE(prompt && figures && frame && cannon && results->pBarHolder);
    const Box promptBox = boxOf({prompt});
    const Box cannonBox = boxOf({cannon, &cannon->barrel, &cannon->colourPiece});
    const Box figuresBox = boxOf({figures});
    const Box railBox = boxOf({results->pBarHolder});
    const Box barBox = boxOf({frame});
    for (const Box* b : {&promptBox, &cannonBox, &figuresBox, &railBox, &barBox}) ASSERT_FALSE(b->empty());
    std::printf("prompt rows %d..%d, cannon rows %d..%d; bar rows %d..%d, figures %d..%d, rail %d..%d\n", promptBox.top,
                promptBox.bottom, cannonBox.top, cannonBox.bottom, barBox.top, barBox.bottom, figuresBox.top,
                figuresBox.bottom, railBox.top, railBox.bottom);
    // The prompt stands clear of the cannon.
    EXPECT_TRUE(promptBox.apartFrom(cannonBox, 3));
    // The figures lie within the bar, and above its candy-stripe rail.
    EXPECT_GT(figuresBox.top, barBox.top);
    EXPECT_LT(figuresBox.bottom, barBox.bottom);
    EXPECT_GT(figuresBox.left, barBox.left);
    EXPECT_LT(figuresBox.right, barBox.right);
    EXPECT_LT(figuresBox.bottom, railBox.top);
}

// Titles such as "Regeln: Invasion" and "Sind Sie sicher?": the parts of each mark stay
// apart, so a colon never reads as an 8.
TEST_F(ArtOnScreenPicture, TheLargeFontsMarksKeepTheirPartsApart) { expectMarksApart(); }

// The help line on its backing at the bottom of the screen, below the buttons of the
// Duel's rules and across the long German line of the graphics options. That it covers
// no button on any screen is HelpLinePicture's to show.
TEST_F(ArtOnScreenPicture, TheHelpLineReadsOnItsBackingAtTheBottom) {
    auto* rules = new ContextDuelRules();
    show(rules, 1.0);
    ASSERT_NO_FATAL_FAILURE(hover(*rules, StringId::DIFFICULTYHINT));
    expectPicture(*rules, "art-help-line-duel-rules");
    rules->bFinished = 1;
    frames(2);
    qor->language().setLanguage(1);
    auto* graphics = new ContextGraphics();
    show(graphics, 1.0);
    ASSERT_NO_FATAL_FAILURE(hover(*graphics, StringId::DETAILHINT));
    expectPicture(*graphics, "art-help-line-graphics-german");
}

// The keys' line of the Invasion's controls tip keeps its place over the player's cannon
// and island and reads on its backing there.
TEST_F(ArtOnScreenPicture, TheKeysTipReadsOverTheCannonAndItsIsland) {
    qor->input().setInputMode(QorInput::kModeMouse);
    global->configuration.bInGameHelp = 1;
    useSteppedClock(kFrame);
    GameController* game = GameLauncher::launch(u"GameControllerCampaign", nullptr);
    ASSERT_NE(game, nullptr);
    // The introduction's tip comes first and is closed; the controls tip lies under it.
    FadingText* keys = nullptr;
    for (int i = 0; i < 400 && !keys; ++i) {
        frames(1);
        auto* tip = dynamic_cast<InGameOverlay*>(global->pContextManager->top());
        if (!tip) continue;
        for (ChildIterator it(tip->pContent); !it.done; it.next())
            if (auto* line = dynamic_cast<FadingText*>(static_cast<QorBase*>(it.current));
                line && line->text.starts_with(u"(Keyboard:"))
                keys = line;
        if (!keys && tip->state == InGameOverlay::kShown) tip->setState(InGameOverlay::kClosing);
    }
    ASSERT_NE(keys, nullptr);
    frames(32);  // open, its lines in
    auto* tip = dynamic_cast<InGameOverlay*>(global->pContextManager->top());
    ASSERT_NE(tip, nullptr);
    withoutSnow();
    expectPicture(*tip, "art-keys-tip");
    auto* cannon = dynamic_cast<Cannon*>(game->playerData[0]->pVehicle.get());
    Renderable* island = game->playerData[0]->pIsland.get();
    ASSERT_TRUE(cannon && island);
    expectClearOf(*tip, keys->text, {{cannon, &cannon->barrel, &cannon->colourPiece}, {island}});
}

TEST_F(ArtOnScreenPicture, ArrowKeysAreNamedWithTheirOwnArrowsInEveryFont) {
    ArrowNames names;
    expectPicture(names, "art-arrow-key-names");
}
}  // namespace

namespace {
// The same program on a window of 1000 x 600, the virtual screen magnified 5/4 times (the
// largest of that shape the tests' display offers).
class ArtOnALargeWindow : public ArtOnScreenPicture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=1000\nvideoModeHeight=600\n"
               "[Qor]\ndefaultLanguage=0\nbEnableDelayedLoad=No\n";
    }
    std::pair<int, int> windowSize() const override { return {1000, 600}; }
};

}  // namespace

TEST_F(ArtOnALargeWindow, TheLargeFontsMarksKeepTheirPartsApart) { expectMarksApart(); }

// The names of the table are drawn by the fallback typeface; on a larger window it is
// rasterised at the window's pixels with an ink ring, so a name reads as clearly as the
// score beside it, and an empty row's "..." is dots in a dark ring of ink, not a smudge.
TEST_F(ArtOnALargeWindow, HighScoreNamesAreSharpOnALargeWindow) {
    for (const char16_t* name : {u"Ann", u"J\u00FCrgen Weihnacht"})
        global->configuration.insertScore(1, 30000 + static_cast<int>(name[0]) * 10, true, name);
    auto* scores = new ContextHighScores(1);
    show(scores, 2.0);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> whole = drawOffScreen(*scores, w, h);
    ASSERT_EQ(w, 1000);
    ASSERT_EQ(h, 600);
    // The table's names and scores: x 150..850 of the window, and 380 rows down from 128
    // units above the screen's middle, where the screen's camera shows that.
    const auto row = [&](float y) {
        return windowPixelOfUnits(worldToScreenUnits(*scores->pCamera, Vector3{0.0f, y, 0.0f})).second;
    };
    std::vector<std::uint32_t> table;
    for (int y = row(128.0f); y < row(128.0f) + 380; ++y)
        for (int x = 150; x < 850; ++x) table.push_back(whole[static_cast<std::size_t>(y) * w + x]);
    EXPECT_TRUE(ReferenceImage::matches("art-high-scores-large-window", table, 700, 380, 24, 400));
    // The last row (120 - 30 * 9 units above the centre) holds "..." from x -250.
    const int top = row(120.0f - 270.0f);
    // Over the light sky the dots stand out by their ring of ink.
    int inkWidth = 0, darkest = 0;
    whiteCores(whole, w, 160, 260, top, top + 30, inkWidth, darkest);
    std::printf("\"...\": %d pixels across, darkest %d\n", inkWidth, darkest);
    EXPECT_GE(inkWidth, 8);
    EXPECT_LE(darkest, 0x70);
}
