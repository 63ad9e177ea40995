// The results screen on the screen stack above a finished game, stepped in frames of a
// thirty-second of a second (exact in binary, and below the longest step a screen's
// clock takes), so times in state add up exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>

#include "game/Firework.h"
#include "game/FlareBurst.h"
#include "game/GameControllerResults.h"
#include "game/HudOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "inputaudio/SoundChannel.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/GameFxWorld.h"
#include "support/ResultsShow.h"
#include "ui/ContextHighScores.h"
#include "ui/FadingText.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuPictureFixture.h"

namespace {
constexpr double kFrame = 0.03125;
constexpr int kEscape = 1;
const char16_t* const kSounds[] = {u"drumroll", u"cymbal", u"fireworkLaunch", u"fireworkBang", u"treeBurn", u"nyuck"};

class ResultsTest : public GameFxWorld {
protected:
    ResultsTest() {
        engine.addTexture(u"island", 3);
        engine.addTexture(u"gui-game-progressBar", 2);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2"}) engine.addSkin(name, 32, 32);
        for (const char16_t* name : kSounds) {
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
    void endGame() {
        stack().addChild(game);
        game->bFinished = 1;
        results = new GameControllerResults();
        results->scoreTable = game->scoreTable;
        stack().addChild(results);
    }
    ContextManager& stack() { return *global->pContextManager; }
    // One frame, with `key` newly pressed in it when given.
    void frame(int key = -1) {
        engine.frame(kFrame);
        engine.clock.advance(kFrame);
        if (key >= 0) engine.input().keyState[key] = QorInput::kDown;
        stack().tick(0.0, 0.0);
    }
    // The frames it takes to reach `state`.
    int framesUntil(int state) {
        int n = 0;
        for (; results->state != state && n < 1000; ++n) frame();
        EXPECT_EQ(results->state, state);
        return n;
    }
    bool showsText(const std::u16string& text) const {
        for (BasicLink* c = results->pTextLayer->firstChild; c; c = c->next)
            if (auto* label = dynamic_cast<FadingText*>(static_cast<QorBase*>(c)); label && label->text == text)
                return true;
        return false;
    }
    static int channels() {
        int n = 0;
        for (BasicLink* node = qor->objectList.firstChild; node; node = node->next)
            n += dynamic_cast<SoundChannel*>(static_cast<EngineListNode*>(node)->target) ? 1 : 0;
        return n;
    }
    static const HIGHSCOREENTRY& top(int table) { return global->configuration.highScores[table][0]; }
    static std::string name(const HIGHSCOREENTRY& e) { return reinterpret_cast<const char*>(e.name.bytes); }
    float barShown() const { return results->pBar->uvRect[2] - results->pBar->uvRect[0]; }

    GameControllerResults* results = nullptr;
    const int fire = global->configuration.keys[GameConfiguration::kKeyFire][0];
};

TEST_F(ResultsTest, AHalfRatingFillsTheBarEntersFirstPlaceAndOpensItsTableWhenClicked) {
    endGame();
    frame();
    EXPECT_EQ(engine.app().pCurrentGame, results);
    EXPECT_EQ(results->layer(GameController::kIslandList)->firstChild->next, nullptr);  // one island
    EXPECT_FLOAT_EQ(results->playerData[0]->pIsland->position.x, 0.0f);
    EXPECT_EQ(results->playerData[0]->totalPalms, 3);
    framesUntil(3);
    EXPECT_EQ(channels(), 1);  // the drum roll
    // The bar rests for a second, then grows a quarter of its length per second, ...
    for (int i = 0; i < 32; ++i) frame();
    EXPECT_FLOAT_EQ(barShown(), 0.0f);
    for (int i = 0; i < 48; ++i) frame();
    EXPECT_FLOAT_EQ(barShown(), 0.375f);  // the skin spans the whole texture here
    // ... and state 4 comes in the first frame in which it would pass 0.5: 3 s + a frame.
    EXPECT_EQ(framesUntil(4), 97 - 80);
    EXPECT_EQ(channels(), 0);  // stopped and freed with the cymbal
    EXPECT_TRUE(showsText(u"50.000%"));
    EXPECT_EQ(results->highScorePlace, 0);  // 50000 beats the default 20000
    EXPECT_EQ(global->lastHighScorePlace, 0);
    EXPECT_EQ(top(1).score, 50000);
    EXPECT_EQ(name(top(1)), "Abcdefghijklmnop");
    EXPECT_EQ(framesUntil(5), 160);  // 5 s
    EXPECT_TRUE(showsText(u"First place!"));
    frame();
    frame(fire);
    EXPECT_EQ(results->state, 6);
    frame();
    frame(fire);
    EXPECT_FLOAT_EQ(stack().pOverlay->target, 1.0f);  // the iris closes
    EXPECT_EQ(framesUntil(7), 64);                    // 2 s later the screen ends
    frame();
    auto* scores = dynamic_cast<ContextHighScores*>(stack().top());
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->table, 1);
    EXPECT_EQ(scores->pTableSelector, nullptr);
    EXPECT_EQ(engine.app().pCurrentGame, game);  // so that its own close clears it
}

// The scene's cannons are on show: with the mouse moving far from them they keep their
// aim and have nothing to fire, and no aiming arrow stands over the show.
TEST_F(ResultsTest, ItsCannonsNeitherAimNorFireAndNoAimingArrowShowsOverIt) {
    endGame();
    frame();
    ASSERT_EQ(stack().top(), results);
    engine.input().setInputMode(QorInput::kModeMouse);
    Vehicle* cannon = results->playerData[0]->pVehicle.get();
    ASSERT_NE(cannon, nullptr);
    EXPECT_EQ(cannon->weapon, nullptr);
    const float heading = cannon->heading;
    for (int i = 0; i < 16; ++i) {
        engine.input().pointerPosition = Vector3{static_cast<float>(40 * i), 400.0f, 0.0f};
        frame();
    }
    EXPECT_EQ(cannon->heading, heading);
    EXPECT_TRUE(results->playerData[0]->bPointerControl);
    EXPECT_FALSE(results->pHud[0]->showsMouseArrow());
}

TEST_F(ResultsTest, TheRatingShownIsTheOneTheHighScoreTableShows) {
    game->playerData[0]->rating = 0.628929f;  // 62892.9 thousandths of a percent
    endGame();
    framesUntil(4);
    EXPECT_EQ(top(1).score, 62892);
    EXPECT_TRUE(showsText(u"62.892%"));
    ContextHighScores table(1);
    engine.font.drawn.clear();
    table.drawRows();
    ASSERT_GE(engine.font.drawn.size(), 2u);
    EXPECT_EQ(engine.font.drawn[1].text, u"62.892%");
}

TEST_F(ResultsTest, EscapeBeforeTheEntryStillEntersTheRatingAndSilencesTheDrumRoll) {
    endGame();
    framesUntil(3);
    frame(kEscape);
    frame();
    EXPECT_EQ(channels(), 0);
    EXPECT_EQ(top(1).score, 50000);
    EXPECT_EQ(global->lastHighScorePlace, 0);
    EXPECT_NE(dynamic_cast<ContextHighScores*>(stack().top()), nullptr);
}

struct EntryCase {
    const char* what;
    int sides, winner, table;
    bool human;
    int enteredIn;  // the table entered, -1 for none
    const char* enteredName;
};

class ResultsEntryTest : public ResultsTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ResultsEntryTest, TheWinnersNameAndTableDecideTheEntry) {
    const EntryCase& c = GetParam();
    game->playerSides = c.sides;
    game->winnerSide = c.winner;
    game->scoreTable = c.table;
    game->playerData[c.winner]->bHuman = c.human ? 1 : 0;
    game->playerData[c.winner]->rating = 0.5f;
    global->lastHighScorePlace = 1;  // the row an earlier game reached in its own table
    endGame();
    framesUntil(4);
    for (int t = 0; t < GameConfiguration::kTables; ++t)
        EXPECT_EQ(top(t).score, t == c.enteredIn ? 50000 : 20000) << c.what << ", table " << t;
    if (c.enteredIn >= 0) {
        EXPECT_EQ(name(top(c.enteredIn)), c.enteredName) << c.what;
    }
    // The table opened next highlights this game's row, or none when it entered nothing.
    EXPECT_EQ(global->lastHighScorePlace, c.enteredIn >= 0 ? 0 : -1) << c.what;
    // Without an entry there is no place to show: on to the tip.
    EXPECT_EQ(framesUntil(c.enteredIn >= 0 ? 5 : 6), 160) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Winners, ResultsEntryTest,
                         ::testing::Values(EntryCase{"second Duel player", 2, 1, 0, true, 0, "Abcdefghijklmn-2"},
                                           EntryCase{"computer winner", 2, 1, 0, false, -1, ""},
                                           EntryCase{"no table", 1, 0, 5, true, -1, ""},
                                           EntryCase{"a table no game has", 1, 0, 9, true, -1, ""},
                                           EntryCase{"winner beyond the sides", 1, 1, 1, true, 1, "Abcdefghijklmnop"}));

TEST_F(ResultsTest, TheFirstRocketRisesNineSecondsInAndSalvosFollowByDetail) {
    engine.app().configuration.detail = 0;
    endGame();
    auto rockets = [this] {
        int n = 0;
        for (BasicLink* c = results->layer(GameController::kEffectList)->firstChild; c; c = c->next)
            n += dynamic_cast<Firework*>(static_cast<QorBase*>(c)) ? 1 : 0;
        return n;
    };
    for (int i = 0; i < 288; ++i) frame();  // 9 s: the clock must pass the time
    EXPECT_EQ(rockets(), 0);
    frame();
    EXPECT_EQ(rockets(), 1);
    EXPECT_GE(results->fireworksLeft, 1);  // the next salvo: 1 to 7 rockets, 2 to 4 s away
    EXPECT_LE(results->fireworksLeft, 7);
    EXPECT_GE(results->nextFireworkTime - results->localTime, 2.0);
    EXPECT_LT(results->nextFireworkTime - results->localTime, 4.0);
}

TEST(ResultsFormulas, ScoresAndRocketColours) {
    for (auto [rating, score] : {std::pair{0.5f, 50000},
                                 {1.0f, 100000},
                                 {0.9f, 90000},
                                 {0.123456f, 12345},
                                 {1.5f, 100000},
                                 {-0.25f, 0},
                                 {std::numeric_limits<float>::quiet_NaN(), 0}})
        EXPECT_EQ(GameControllerResults::scoreForRating(rating), score) << rating;
    const UColor expected[6] = {0xFFFF8080u, 0xFF80FF80u, 0xFFFFFF80u, 0xFF8080FFu, 0xFFFF80FFu, 0xFF80FFFFu};
    for (std::uint32_t draw = 0; draw < 12; ++draw)
        EXPECT_EQ(GameControllerResults::fireworkColour(draw), expected[draw % 6]) << draw;
}

// Rockets in the effect list of the running game, stepped at 100 frames per second.
TEST_F(ResultsTest, ARocketBurstsAbout766UpAndTrailsEveryIntervalWithoutCarryingTheExcess) {
    auto launch = [this](float speed, double fuse) {
        auto* rocket = new Firework(Vector3{0.0f, 100.0f, 0.0f}, Vector3{0.0f, speed, 0.0f}, 0xFFFF8080u, fuse, fuse);
        list(GameController::kEffectList).addChild(rocket);
        return rocket;
    };
    Firework* rocket = launch(511.0f, 2.0);
    float burstAt = 0.0f;
    for (int i = 0; i < 300 && !rocket->pendingDelete; ++i) {
        burstAt = rocket->position.y;
        rocket->update(0.0, 0.01);
    }
    EXPECT_NEAR(burstAt - 100.0f, 766.0f, 4.0f);  // 511 x 2 - 64 x 2 x 2, stepped
    // The burst, then that frame's trail: 100 sparks at detail 1.
    auto* burst = dynamic_cast<FlareBurst*>(static_cast<QorBase*>(list(GameController::kEffectList).lastChild->prev));
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->particleCount, 100);
    for (auto [detail, frames, step, bursts] :
         {std::tuple{0, 20, 0.01, 4}, {1, 20, 0.01, 10}, {1, 1, 0.5, 1}, {0, 2, 0.5, 2}}) {
        engine.app().configuration.detail = detail;
        list(GameController::kEffectList).deleteChildren();
        rocket = launch(0.0f, 100.0);
        for (int i = 0; i < frames; ++i) rocket->update(0.0, step);
        int n = -1;  // the rocket
        for (BasicLink* c = list(GameController::kEffectList).firstChild; c; c = c->next) ++n;
        EXPECT_EQ(n, bursts) << "detail " << detail << ", step " << step;
    }
}

// The results screen drawn from plain test pictures: the winner's island with its palms
// and cannon, fireworks, and the rating over its bar.
class ResultsPicture : public MenuPictureFixture {
protected:
    void SetUp() override {
        MenuPictureFixture::SetUp();
        if (!started) return;
        global = new GameGlobal();
        picture(u"sky", 762, 256, {0xFF4080C0u}, 1);  // in tiles from the water up
        picture(u"sea", 508, 64, {0xFF204060u, 0xFF205080u}, 7);
        picture(u"snowflake", 4, 4, {0xFFFFFFFFu});
        picture(u"palm", 24, 64, {0xFF40A040u});
        picture(u"island", 128, 32, {0xFFC0A060u, 0xFFC0A060u, 0xFFD0B070u});
        picture(u"cannon", 16, 16, {0xFF303030u, 0xFF606060u, 0xFFFFFFFFu});
        picture(u"gui-game-progressBar", 192, 16, {0xFF202020u, 0xFF40E040u});
        picture(u"flare", 4, 4, {0xFFFFFFFFu});
        // Made and played without the audio service, sounds are silent and need no file.
        audio = qor->pQorAudio;
        qor->pQorAudio = nullptr;
        qor->bEnableDelayedLoad = 0;
        for (const char16_t* name : kSounds) {
            holder->addChild(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(static_cast<QorBase*>(holder->lastChild), name);
        }
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
            qor->pQorAudio = audio;
        }
        MenuPictureFixture::TearDown();
    }
    // A texture of one w x h skin per colour, side by side, each anchored at `anchor`
    // and registered as "<name>:<i>".
    void picture(const std::u16string& name, int w, int h, const std::vector<std::uint32_t>& colours, int anchor = 5) {
        const int n = static_cast<int>(colours.size());
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * n * h));
        for (std::size_t i = 0; i < px.size(); ++i) px[i] = colours[i % static_cast<std::size_t>(w * n) / w];
        Texture* texture = makeTexture(holder, w * n, h, px, false);
        for (Skin* whole : texture->skins) whole->destroy();
        texture->skins.clear();
        for (int i = 0; i < n; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(w * i, 0, h, w * i + w);
            quad->setAnchor(anchor);
            texture->skins.push_back(quad);
            qor->pResourceManager->addResource(quad, name + u":" + static_cast<char16_t>(u'0' + i));
        }
        qor->pResourceManager->addResource(texture, name);
    }
    // The results screen of a finished game of `sides` won by its last side, a person
    // rated `rating`, run in frames of a thirty-second of a second until `frames` frames
    // into `state`, then frozen: the pictured frames move nothing and play nothing.
    GameControllerResults* showResults(int sides, int table, float rating, int state, int frames) {
        auto* finished = new GameController();
        holder->addChild(finished);
        finished->playerSides = sides;
        finished->winnerSide = sides - 1;
        finished->palmsPerIsland = 4;
        finished->scoreTable = table;
        finished->playerData[sides - 1]->bHuman = 1;
        finished->playerData[sides - 1]->rating = rating;
        static_cast<GameGlobal*>(global)->pCurrentGame = finished;
        auto* results = new GameControllerResults();
        holder->addChild(results);
        results->onActivate(true);
        runResultsInto(*results, state, frames, kFrame);
        results->timeScale = results->speed = results->pOverlay->timeScale = 0.0;
        qor->pQorAudio = audio;
        return results;
    }
    QorAudio* audio = nullptr;
};

TEST_F(ResultsPicture, TheRatingOverTheWinnersIslandWithFireworks) {
    Random::seed(7);
    GameControllerResults* results = showResults(1, 1, 0.625f, 4, 48);  // 1.5 s into state 4
    expectPicture(results, "results-rating");
    static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
}

// A Duel's results follow the winner's island; the loser's cannon, left out of view, has
// no marker at the screen's edge: markers belong to play.
TEST_F(ResultsPicture, ADuelsResultsMarkNoCannonOutOfView) {
    constexpr std::uint32_t kMarker = 0xFFFF00FFu;
    picture(u"ovalButtons", 32, 32, {0xFF284878u, kMarker});
    // In state 3 the camera is over the winner's island, far from the loser's.
    runFrame(showResults(2, 0, 0.5f, 3, 0));
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kMarker), 0);
    static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
}
}  // namespace
