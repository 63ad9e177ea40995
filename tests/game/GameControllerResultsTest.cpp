// The results screen on the screen stack above a finished game, stepped in frames of a
// thirty-second of a second (exact in binary, so times in state add up exactly, and
// below the longest step a screen's clock takes).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <tuple>

#include "engine/Link.h"
#include "game/Firework.h"
#include "game/FlareBurst.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "inputaudio/SoundChannel.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/GameFxWorld.h"
#include "ui/ContextHighScores.h"
#include "ui/FadingText.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuPictureFixture.h"

namespace {
constexpr double kFrame = 0.03125;
constexpr int kEscape = 1;

class ResultsTest : public GameFxWorld {
protected:
    ResultsTest() {
        engine.addTexture(u"island", 3);
        engine.addTexture(u"gui-game-progressBar", 2);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2"}) engine.addSkin(name, 32, 32);
        for (const char16_t* name :
             {u"drumroll", u"cymbal", u"fireworkLaunch", u"fireworkBang", u"treeBurn", u"nyuck"}) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        global->profiles.createProfile(u"Abcdefghijklmnop");  // 16 characters
        // The finished Invasion: one person, three palms, half the points won.
        game->playerSides = 1;
        game->palmsPerIsland = 3;
        game->scoreTable = 1;
        game->playerData[0]->bHuman = 1;
        game->playerData[0]->rating = 0.5f;
    }

    // What the finished mode's endGame does: it finishes and pushes the results.
    GameControllerResults& endGame() {
        stack().addChild(game);
        game->bFinished = 1;
        results = new GameControllerResults();
        results->scoreTable = game->scoreTable;
        stack().addChild(results);
        return *results;
    }
    ContextManager& stack() { return *global->pContextManager; }
    void frame() {
        engine.frame(kFrame);
        engine.clock.advance(kFrame);
        stack().tick(0.0, 0.0);
    }
    // Frames until the results reach `state` (at most `limit` frames); the frames taken.
    int runUntilState(int state, int limit = 1000) {
        int n = 0;
        while (results->state != state && n < limit) {
            frame();
            ++n;
        }
        EXPECT_EQ(results->state, state);
        return n;
    }
    // The next frame with `code` pressed in it.
    void frameWithKey(int code) {
        engine.frame(kFrame);
        engine.clock.advance(kFrame);
        engine.input().keyState[code] = QorInput::kDown;
        engine.input().previousKeyState[code] = 0;
        stack().tick(0.0, 0.0);
    }
    bool showsText(const std::u16string& text) const {
        for (BasicLink* c = results->pTextLayer->firstChild; c; c = c->next)
            if (auto* label = dynamic_cast<FadingText*>(static_cast<QorBase*>(c)); label && label->text == text)
                return true;
        return false;
    }
    static int liveObjects(bool (*is)(QorBase*)) {
        int n = 0;
        for (BasicLink* node = qor->objectList.firstChild; node; node = node->next)
            n += is(static_cast<EngineListNode*>(node)->target) ? 1 : 0;
        return n;
    }
    static int channels() {
        return liveObjects([](QorBase* o) { return dynamic_cast<SoundChannel*>(o) != nullptr; });
    }
    static const HIGHSCOREENTRY& entry(int table, int place) { return global->configuration.highScores[table][place]; }
    static std::string name(const HIGHSCOREENTRY& e) { return reinterpret_cast<const char*>(e.name.bytes); }

    GameControllerResults* results = nullptr;
    const int fire = global->configuration.keys[GameConfiguration::kKeyFire][0];
};

TEST_F(ResultsTest, AHalfRatingFillsTheBarEntersFirstPlaceAndOpensItsTableWhenClicked) {
    endGame();
    frame();
    EXPECT_EQ(engine.app().pCurrentGame, results);
    EXPECT_EQ(results->state, 1);
    EXPECT_EQ(results->layer(GameController::kIslandList)->firstChild->next, nullptr);  // one island, in the middle
    EXPECT_FLOAT_EQ(results->playerData[0]->pIsland->position.x, 0.0f);
    EXPECT_EQ(results->playerData[0]->totalPalms, 3);
    EXPECT_EQ(results->playerData[0]->colour, 0xFFFF0000u);
    runUntilState(3);
    EXPECT_EQ(channels(), 1);  // the drum roll
    // The bar rests for a second, then grows a quarter per second; state 4 comes in the
    // first frame in which it would pass 0.5: 3 s + one frame into state 3.
    EXPECT_EQ(runUntilState(4), 97);
    EXPECT_EQ(channels(), 0);  // stopped and freed with the cymbal
    EXPECT_TRUE(showsText(u"50.000%"));
    EXPECT_EQ(results->highScorePlace, 0);  // 50000 beats the default 20000
    EXPECT_EQ(global->lastHighScorePlace, 0);
    EXPECT_EQ(entry(1, 0).score, 50000);
    EXPECT_EQ(name(entry(1, 0)), "Abcdefghijklmnop");
    EXPECT_EQ(runUntilState(5), 160);  // 5 s
    EXPECT_TRUE(showsText(u"First place!"));
    frame();
    EXPECT_EQ(results->state, 5);  // waits for the player
    frameWithKey(fire);
    EXPECT_EQ(results->state, 6);
    frameWithKey(fire);
    EXPECT_FLOAT_EQ(stack().pOverlay->target, 1.0f);  // the iris closes
    EXPECT_EQ(runUntilState(7), 64);                  // 2 s later the screen ends
    frame();
    auto* scores = dynamic_cast<ContextHighScores*>(stack().top());
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->table, 1);
    EXPECT_EQ(scores->pTableSelector, nullptr);
    EXPECT_EQ(engine.app().pCurrentGame, game);  // so that its own close clears it
}

TEST_F(ResultsTest, TheBarShowsTheShareOfTheRatingPassedSoFar) {
    game->playerData[0]->rating = 1.0f;
    endGame();
    runUntilState(3);
    const auto* bar = results->pBar;
    const auto* fill = static_cast<Quad*>(texture(u"gui-game-progressBar")->skins[1]);
    const float full = fill->uvRect[2] - fill->uvRect[0];
    for (int i = 0; i < 32; ++i) frame();  // the second of rest
    EXPECT_FLOAT_EQ(bar->uvRect[2] - bar->uvRect[0], 0.0f);
    for (int i = 0; i < 64; ++i) frame();  // two seconds of growth
    EXPECT_FLOAT_EQ(bar->uvRect[2] - bar->uvRect[0], 0.5f * full);
    // A full rating fills the bar at 5 s and moves on in the first frame after.
    EXPECT_EQ(runUntilState(4), 65);
    EXPECT_TRUE(showsText(u"100.000%"));
}

TEST_F(ResultsTest, EscapeBeforeTheEntryStillEntersTheRatingAndSilencesTheDrumRoll) {
    endGame();
    runUntilState(3);
    for (int i = 0; i < 20; ++i) frame();
    ASSERT_EQ(channels(), 1);
    frameWithKey(kEscape);
    frame();
    EXPECT_EQ(channels(), 0);
    EXPECT_EQ(entry(1, 0).score, 50000);
    EXPECT_EQ(global->lastHighScorePlace, 0);
    EXPECT_NE(dynamic_cast<ContextHighScores*>(stack().top()), nullptr);
}

struct NoEntryCase {
    const char* what;
    int sides, winner, table;
    bool human;
    int expectedTable;  // -1: nothing entered anywhere
    const char* expectedName;
};

class ResultsEntryTest : public ResultsTest, public ::testing::WithParamInterface<NoEntryCase> {};

TEST_P(ResultsEntryTest, TheWinnersNameAndTableDecideTheEntry) {
    const NoEntryCase& c = GetParam();
    game->playerSides = c.sides;
    game->winnerSide = c.winner;
    game->scoreTable = c.table;
    game->playerData[c.winner]->bHuman = c.human ? 1 : 0;
    game->playerData[c.winner]->rating = 0.5f;
    endGame();
    runUntilState(4);
    for (int t = 0; t < GameConfiguration::kTables; ++t)
        EXPECT_EQ(entry(t, 0).score, t == c.expectedTable ? 50000 : 20000) << c.what << " table " << t;
    if (c.expectedTable >= 0) {
        EXPECT_EQ(name(entry(c.expectedTable, 0)), c.expectedName) << c.what;
    }
    // Without an entry there is no place to show: straight to the tip.
    EXPECT_EQ(runUntilState(c.expectedTable >= 0 ? 5 : 6), 160) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Winners, ResultsEntryTest,
                         ::testing::Values(NoEntryCase{"second player of a Duel", 2, 1, 0, true, 0, "Abcdefghijklmn-2"},
                                           NoEntryCase{"computer winner", 2, 1, 0, false, -1, ""},
                                           NoEntryCase{"no table", 1, 0, 5, true, -1, ""},
                                           NoEntryCase{"a table no game has", 1, 0, 9, true, -1, ""},
                                           NoEntryCase{"winner beyond the sides", 1, 1, 1, true, 1,
                                                       "Abcdefghijklmnop"}));

TEST_F(ResultsTest, TheFirstRocketRisesNineSecondsInFromTheWinnersIsland) {
    engine.app().configuration.detail = 0;
    endGame();
    auto rockets = [this] {
        int n = 0;
        for (BasicLink* c = results->layer(GameController::kEffectList)->firstChild; c; c = c->next)
            n += dynamic_cast<Firework*>(static_cast<QorBase*>(c)) ? 1 : 0;
        return n;
    };
    for (int i = 0; i < 288; ++i) frame();  // 9 s: not yet (the rocket needs a later clock)
    EXPECT_EQ(rockets(), 0);
    frame();
    EXPECT_EQ(rockets(), 1);
    // A salvo of 1 to 7 rockets at detail 0, the next one 2 to 4 s away.
    EXPECT_GE(results->fireworksLeft, 1);
    EXPECT_LE(results->fireworksLeft, 7);
    EXPECT_GE(results->nextFireworkTime - results->localTime, 2.0);
    EXPECT_LT(results->nextFireworkTime - results->localTime, 4.0);
}

TEST(ResultsFormulas, ScoresNamesColoursAndTheBar) {
    for (auto [rating, score] : {std::pair{0.5f, 50000},
                                 {1.0f, 100000},
                                 {0.9f, 90000},
                                 {0.123456f, 12345},
                                 {1.5f, 100000},
                                 {-0.25f, 0},
                                 {std::numeric_limits<float>::quiet_NaN(), 0}})
        EXPECT_EQ(GameControllerResults::scoreForRating(rating), score) << rating;
    EXPECT_EQ(GameControllerResults::entryName(u"Abcdefghijklmnop", 1), u"Abcdefghijklmn-2");
    EXPECT_EQ(GameControllerResults::entryName(u"Ann", 1), u"Ann-2");
    EXPECT_EQ(GameControllerResults::entryName(u"Abcdefghijklmnop", 0), u"Abcdefghijklmnop");
    const UColor expected[6] = {0xFFFF8080u, 0xFF80FF80u, 0xFFFFFF80u, 0xFF8080FFu, 0xFFFF80FFu, 0xFF80FFFFu};
    std::set<UColor> seen;
    for (std::uint32_t draw = 0; draw < 12; ++draw) {
        EXPECT_EQ(GameControllerResults::fireworkColour(draw), expected[draw % 6]) << draw;
        seen.insert(GameControllerResults::fireworkColour(draw));
    }
    EXPECT_EQ(seen.size(), 6u);  // never grey, never white
    EXPECT_DOUBLE_EQ(GameControllerResults::barFraction(1.0), 0.0);
    EXPECT_DOUBLE_EQ(GameControllerResults::barFraction(3.0), 0.5);
    EXPECT_DOUBLE_EQ(GameControllerResults::barFraction(5.0), 1.0);
}

// Rockets in an effect list of the running game.
class FireworkTest : public GameFxWorld {
protected:
    FireworkTest() {
        sounds.push_back(new Sound(0, 2, u"silent.ogg"));
        qor->pResourceManager->addResource(sounds.back(), u"fireworkBang");
    }
    Firework* launch(const Vector3& velocity, double fuse) {
        auto* rocket = new Firework(Vector3{0.0f, 100.0f, 0.0f}, velocity, 0xFFFF8080u, fuse, fuse);
        list(GameController::kEffectList).addChild(rocket);
        return rocket;
    }
    int bursts() { return static_cast<int>(countChildren(list(GameController::kEffectList))) - 1; }
    static std::size_t countChildren(const QorBase& node) {
        std::size_t n = 0;
        for (const BasicLink* c = node.firstChild; c; c = c->next) ++n;
        return n;
    }
};

TEST_F(FireworkTest, ARocketUpAt511WithATwoSecondFuseBurstsAbout766Up) {
    Firework* rocket = launch(Vector3{0.0f, 511.0f, 0.0f}, 2.0);
    float burstAt = 0.0f;
    for (int i = 0; i < 300 && !rocket->pendingDelete; ++i) {
        burstAt = rocket->position.y;
        rocket->update(0.0, 0.01);
    }
    ASSERT_TRUE(rocket->pendingDelete);
    EXPECT_NEAR(burstAt - 100.0f, 766.0f, 4.0f);  // 511 x 2 - 64 x 2 x 2, stepped
    // The burst, then that frame's trail: 100 sparks at detail 1.
    auto* burst = dynamic_cast<FlareBurst*>(static_cast<QorBase*>(list(GameController::kEffectList).lastChild->prev));
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->particleCount, 100);
}

TEST_F(FireworkTest, TheTrailComesEveryIntervalWithoutCarryingTheExcess) {
    for (auto [detail, frames, step, expected] :
         {std::tuple{0, 20, 0.01, 4}, {1, 20, 0.01, 10}, {1, 1, 0.5, 1}, {0, 2, 0.5, 2}}) {
        engine.app().configuration.detail = detail;
        list(GameController::kEffectList).deleteChildren();
        Firework* rocket = launch(Vector3{0.0f, 0.0f, 0.0f}, 100.0);
        for (int i = 0; i < frames; ++i) rocket->update(0.0, step);
        EXPECT_EQ(bursts(), expected) << "detail " << detail << ", step " << step;
    }
}
}  // namespace

// The results screen drawn: the island with its palms and cannon seen from the winner's
// camera, fireworks, and the rating over its bar, in plain test pictures.

namespace {
class ResultsPicture : public MenuPictureFixture {
protected:
    void SetUp() override {
        MenuPictureFixture::SetUp();
        if (!started) return;
        global = new GameGlobal();
        // The sky in tiles from the water up, the sea in tiles from the water down.
        picture(u"sky", 762, 256, {0xFF4080C0u}, false, 1);
        picture(u"sea", 508, 64, {0xFF204060u, 0xFF205080u}, false, 7);
        picture(u"snowflake", 4, 4, {0xFFFFFFFFu});
        picture(u"palm", 24, 64, {0xFF40A040u});
        picture(u"island", 128, 32, {0xFFC0A060u, 0xFFC0A060u, 0xFFD0B070u});
        picture(u"cannon", 16, 16, {0xFF303030u, 0xFF606060u, 0xFFFFFFFFu}, true);
        picture(u"gui-game-progressBar", 192, 16, {0xFF202020u, 0xFF40E040u});
        picture(u"flare", 4, 4, {0xFFFFFFFFu});
        // Made and played without the audio service, sounds are silent and need no file.
        audio = qor->pQorAudio;
        qor->pQorAudio = nullptr;
        const std::uint8_t delayed = qor->bEnableDelayedLoad;
        qor->bEnableDelayedLoad = 0;
        for (const char16_t* name :
             {u"drumroll", u"cymbal", u"fireworkLaunch", u"fireworkBang", u"treeBurn", u"nyuck"}) {
            auto* sound = new Sound(0, 2, u"silent.ogg");
            holder->addChild(sound);
            qor->pResourceManager->addResource(sound, name);
        }
        qor->bEnableDelayedLoad = delayed;
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
            if (!qor->pQorAudio) qor->pQorAudio = audio;
        }
        MenuPictureFixture::TearDown();
    }
    // A texture of one skin per colour, side by side, each w x h and anchored at
    // `anchor`; registered as `name` and, with `named`, each skin as "<name>:<i>".
    void picture(const std::u16string& name, int w, int h, const std::vector<std::uint32_t>& colours,
                 bool named = false, int anchor = 5) {
        const int n = static_cast<int>(colours.size());
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * n * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * n; ++x)
                px[static_cast<std::size_t>(y * w * n + x)] = colours[static_cast<std::size_t>(x / w)];
        Texture* texture = makeTexture(holder, w * n, h, px, false);
        for (Skin* whole : texture->skins) whole->destroy();
        texture->skins.clear();
        for (int i = 0; i < n; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(w * i, 0, h, w * i + w);
            quad->setAnchor(anchor);
            texture->skins.push_back(quad);
            if (named) qor->pResourceManager->addResource(quad, name + u":" + static_cast<char16_t>(u'0' + i));
        }
        qor->pResourceManager->addResource(texture, name);
    }
    // One step of the screen's clock, as a frame of `seconds` would give it.
    static void step(Context& screen, double seconds) {
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += seconds;
        screen.tick(0.0, 0.0);
    }
    QorAudio* audio = nullptr;
};

TEST_F(ResultsPicture, TheRatingOverTheWinnersIslandWithFireworks) {
    Random::seed(7);
    auto* finished = new GameController();
    holder->addChild(finished);
    finished->playerSides = 1;
    finished->palmsPerIsland = 4;
    finished->scoreTable = 1;
    finished->playerData[0]->bHuman = 1;
    finished->playerData[0]->rating = 0.625f;
    static_cast<GameGlobal*>(global)->pCurrentGame = finished;
    auto* results = new GameControllerResults();
    results->scoreTable = 1;
    holder->addChild(results);
    results->onActivate(true);
    while (results->state < 4) step(*results, 1.0 / 32.0);
    for (int i = 0; i < 48; ++i) step(*results, 1.0 / 32.0);
    // Frozen from here on: the pictured frames move nothing and play nothing.
    results->timeScale = 0.0;
    results->speed = 0.0;
    results->pOverlay->timeScale = 0.0;
    qor->pQorAudio = audio;
    expectPicture(results, "results-rating");
    static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
}
}  // namespace
