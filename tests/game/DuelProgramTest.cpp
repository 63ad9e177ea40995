// The Duel inside the running program, from a fresh data folder, played with the
// player's own input: the title menu leads through the game-mode and rules screens into
// a war against the computer; the plane flies, turns and drops bombs, the computer's
// cannon fires; Escape pauses and resumes; a war ended from the pause screen is
// continued at its round; the tutorial shows its panels. And a whole war of two days with
// the computer on both sides, sped up, is followed round by round to the results screen
// and the Duel's high-score table.
//
// The engine's clock steps a fixed time each frame, so every run sees the same times;
// nothing here reads the window's pixels, so the program runs in its smallest window.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "engine/Format.h"
#include "engine/Strings.h"
#include "game/AnnouncementText.h"
#include "game/Bomb.h"
#include "game/CannonShell.h"
#include "game/ContextDuelRules.h"
#include "game/ContextPaused.h"
#include "game/GameControllerDuel.h"
#include "game/GameControllerDuelTutorial.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/InGameOverlay.h"
#include "game/Palm.h"
#include "game/Plane.h"
#include "game/PlayerData.h"
#include "support/FrameStep.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPopup.h"
#include "ui/FadingText.h"
#include "ui/GameConfiguration.h"
#include "ui/HIGHSCOREENTRY.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kLeft = 203, kFire = 57;  // the first player's default keys

// A war followed after each of its frames from outside its controller: the day and round
// at every change of either, each day's palms as it dawns, and of each round whether it
// was fought, whether its fight ended it and the points each side made in it.
class WarLog {
public:
    struct Dawn {
        int day = 0;
        int planted[2] = {};       // the palms each side was given
        int standing[2] = {};      // of them, those standing in the world
        int lostTheDayBefore = 0;  // palms of both sides down as the day before ended
        std::u16string title;      // the announcement shown
    };
    struct Round {
        int day = 0, round = 0;
        bool fought = false;           // it was played
        bool over = false;             // its play has ended
        bool endedByTheFight = false;  // as it ended, a plane was down or an island's last palm had burnt
        int palmsAtPlay[2] = {};       // each side's standing as the play began
        int points[2] = {};            // each side's, from its set-up to the next round, day or the results
    };

    // Takes in the war as the last frame left it: to be called after each of its frames.
    void follow(GameControllerDuel& g) {
        const int scores[2] = {g.playerData[0]->getScore(), g.playerData[1]->getScore()};
        if (g.day != day)
            dawns.push_back(dawn(g));
        else if (round > 0)
            // The frame that turns the day clears the world before anything in it moves,
            // so no round's points are made there: a change of a score in it is the war's
            // own doing, which the sums of the rounds leave out.
            for (int s = 0; s < 2; ++s) rounds.back().points[s] += scores[s] - lastScores[s];
        if (g.day != day || g.round != round) {
            changes.emplace_back(g.day, g.round);
            if (g.round > 0) rounds.push_back(Round{g.day, g.round});
        }
        if (g.round > 0) noteThePlay(g, rounds.back());
        day = g.day;
        round = g.round;
        standingAll = standing(g, 0) + standing(g, 1);
        std::copy(std::begin(scores), std::end(scores), std::begin(lastScores));
    }

    std::vector<std::pair<int, int>> changes;  // (day, round) after each change of either
    std::vector<Dawn> dawns;
    std::vector<Round> rounds;

private:
    static int standing(const GameControllerDuel& g, int side) {
        const PlayerData& p = *g.playerData[side];
        int n = 0;
        for (int i = 0; i < std::min(p.totalPalms, PlayerData::MAXPALM); ++i)
            if (p.palms[i] && p.palms[i]->isStanding()) ++n;
        return n;
    }
    Dawn dawn(const GameControllerDuel& g) const {
        Dawn d;
        d.day = g.day;
        d.title = g.pAnnouncement->text;
        for (int s = 0; s < 2; ++s) {
            d.planted[s] = g.playerData[s]->totalPalms;
            d.standing[s] = standing(g, s);
        }
        d.lostTheDayBefore = day > 0 ? 2 * GameControllerDuel::kPalms - standingAll : 0;
        return d;
    }
    static void noteThePlay(GameControllerDuel& g, Round& r) {
        if (g.state == GameControllerDuel::kPlaying && !r.fought) {
            r.fought = true;
            for (int s = 0; s < 2; ++s) r.palmsAtPlay[s] = g.playerData[s]->livePalms;
        } else if (r.fought && !r.over && g.state != GameControllerDuel::kPlaying) {
            r.over = true;
            r.endedByTheFight = fightIsOver(g, r);
        }
    }
    // Palms lost stay lost for the rest of the day: an island burnt down in an earlier
    // round ends no later one.
    static bool fightIsOver(GameControllerDuel& g, const Round& r) {
        for (int s = 0; s < 2; ++s) {
            const PlayerData& p = *g.playerData[s];
            auto* plane = dynamic_cast<Plane*>(p.pVehicle.get());
            if (plane && !plane->isOperational()) return true;
            if (g.round < GameControllerDuel::kRounds && r.palmsAtPlay[s] > 0 && p.livePalms == 0) return true;
        }
        return false;
    }

    int day = 0, round = 0;  // as the last frame left them
    int lastScores[2] = {};
    int standingAll = 0;  // palms of both sides standing after the last frame
};

class DuelProgramTest : public SmallWindow<GameProgramFixture<GameControllerDuel>> {
protected:
    ContextDuelRules* openRules() {
        clickOn(*top<ContextGameMode>()->pDuel);
        return top<ContextDuelRules>();
    }
    // Ends the game from the pause screen and opens the Duel's rules again.
    ContextDuelRules* endAndReopen() {
        tapKey(kEscape);
        clickOn(*top<ContextPaused>()->pEndGame);
        clickOn(*top<ContextPopup>()->firstButton);
        return tickUntil([this] { return top<ContextGameMode>() != nullptr; }, 100) ? openRules() : nullptr;
    }
    ContextDuelRules* toTheRules() {
        startToTheTitle();
        useSteppedClock(kFrameStep);
        clickOn(*top<ContextMainGame>()->startGameItem);
        return top<ContextGameMode>() ? openRules() : nullptr;
    }
    // A war of `days` days started from the rules, the computer on both sides, hurried.
    GameControllerDuel* startAWarOfComputers(int days) {
        ContextDuelRules* rules = toTheRules();
        if (!rules) return nullptr;
        global->configuration.difficulty = 4;
        clickOn(*rules->pStartNew);
        GameControllerDuel* g = game();
        if (!g) return nullptr;
        g->computerPlayers = 2;
        g->playerData[0]->bHuman = 0;
        g->speed = 4.0;
        g->timeScale = 4.0;
        g->days = days;
        return g;
    }
    int count(int list) {
        int n = 0;
        for (BasicLink* c = game()->layer(list)->firstChild; c; c = c->next) ++n;
        return n;
    }
};
}  // namespace

TEST_F(DuelProgramTest, APlayerFliesBombsPausesContinuesAndWatchesTheTutorial) {
    ContextDuelRules* rules = toTheRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);
    EXPECT_EQ(global->configuration.duelOpponent, 2);
    clickOn(*rules->pStartNew);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_EQ(game()->round, 1);

    // The plane flies on, turns on the arrow key and drops a bomb on the fire key; the
    // computer's cannon shoots at it.
    auto* plane = dynamic_cast<Plane*>(game()->playerData[0]->pVehicle.get());
    ASSERT_NE(plane, nullptr);
    const Vector3 from = plane->position;
    const float heading = plane->heading;
    devices->keys[kLeft] = 0x80;
    frames(6);
    devices->keys[kLeft] = 0;
    EXPECT_NE(plane->position.x, from.x);
    EXPECT_NE(plane->heading, heading);
    const int bombs = count(GameController::kBombList);
    tapKey(kFire);
    EXPECT_EQ(count(GameController::kBombList), bombs + 1);
    EXPECT_TRUE(playUntil([this] { return count(GameController::kCannonShellList) > 0; }, 400));

    // Escape pauses (the game stands still beneath), Escape again resumes.
    tapKey(kEscape);
    ASSERT_NE(top<ContextPaused>(), nullptr);
    const double pausedAt = game()->localTime;
    frames(10);
    EXPECT_EQ(game()->localTime, pausedAt);
    tapKey(kEscape);
    EXPECT_GT(game()->localTime, pausedAt);

    // Ended from the pause screen, the war is continued at the round it was saved at.
    const int day = game()->day, round = game()->round;
    rules = endAndReopen();
    ASSERT_NE(rules, nullptr);
    ASSERT_FALSE(rules->pContinue->bDisabled);
    clickOn(*rules->pContinue);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_TRUE(game()->bContinued);
    EXPECT_EQ(game()->day, day);
    EXPECT_EQ(game()->round, round);

    // The tutorial opens with its introduction; the controls and the first round follow.
    rules = endAndReopen();
    ASSERT_NE(rules, nullptr);
    clickOn(*rules->pHowToPlay);
    ASSERT_NE(dynamic_cast<GameControllerDuelTutorial*>(game()), nullptr);
    std::vector<std::u16string> titles;
    for (int i = 0; i < 400 && titles.size() < 3; ++i) {
        if (auto* panel = top<InGameOverlay>(); panel && panel->state == InGameOverlay::kShown) {
            titles.push_back(static_cast<FadingText*>(panel->pContent->firstChild)->text);
            tapKey(kFire);
        }
        frames(1);
    }
    EXPECT_EQ(titles,
              (std::vector<std::u16string>{u"Let's Go!", u"Sunrise: Attack round",
                                           u"Move the arrow pointer on the screen and your sleigh will follow it."}));
}

// The computer on both sides at four times the speed fights a whole war of two days,
// from the menus to the high-score table, followed frame by frame: each round of both
// days fought to its end, every day dawning with its palms anew, the war over after the
// last day's last round and not a frame of play before or after, and the results rated
// over all six rounds. The announcements and the pauses between rounds and days are
// hurried on the controller's own clock, and the results' states on theirs: the same
// states in fewer frames (about 1,400 for the war: under the sanitizers half a minute, a
// minute or so on a busy core).
TEST_F(DuelProgramTest, AWholeWarOfComputersIsFoughtRoundByRoundToTheResultsAndTheHighScores) {
    GameControllerDuel* g = startAWarOfComputers(2);
    ASSERT_NE(g, nullptr);
    WarLog war;
    const bool reachedTheResults = tickUntil(
        [&] {
            war.follow(*g);
            // The results screen takes up the finished war once it is first shown.
            auto* results = top<GameControllerResults>();
            return results && &results->finished() == g;
        },
        4000);

    // What the war went through comes first, so that a war that stalls says where.
    using DayRound = std::pair<int, int>;
    EXPECT_EQ(war.changes, (std::vector<DayRound>{{1, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3}}));
    for (const WarLog::Round& r : war.rounds) {
        EXPECT_TRUE(r.fought) << "day " << r.day << ", round " << r.round;
        EXPECT_TRUE(r.endedByTheFight) << "day " << r.day << ", round " << r.round;
    }
    ASSERT_EQ(war.dawns.size(), 2u);
    for (const WarLog::Dawn& dawn : war.dawns) {
        EXPECT_EQ(dawn.title, formatString(u"Day %d of 2", dawn.day));
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(dawn.planted[s], GameControllerDuel::kPalms) << "day " << dawn.day << ", side " << s;
            EXPECT_EQ(dawn.standing[s], GameControllerDuel::kPalms) << "day " << dawn.day << ", side " << s;
        }
    }
    EXPECT_GT(war.dawns[1].lostTheDayBefore, 0) << "no palm fell on the first day, so none could stand anew";
    ASSERT_TRUE(reachedTheResults) << "the war did not reach the results";
    EXPECT_EQ(g->state, GameControllerDuel::kEnd);

    // The results read each side's points of all six rounds: without points on the first
    // day, a rating of the last day's alone would not differ.
    int sums[2] = {}, firstDay = 0;
    for (const WarLog::Round& r : war.rounds)
        for (int s = 0; s < 2; ++s) {
            sums[s] += r.points[s];
            if (r.day == 1) firstDay += r.points[s];
        }
    EXPECT_GT(firstDay, 0);
    auto* results = top<GameControllerResults>();
    EXPECT_EQ(results->finished().playerData[0]->getScore(), sums[0]);
    EXPECT_EQ(results->finished().playerData[1]->getScore(), sums[1]);
    const int winner = sums[1] > sums[0] ? 1 : 0;
    EXPECT_EQ(results->winner(), winner);
    const float rating = results->winnerRating();
    EXPECT_GT(rating, 0.0f);

    // The computer's wins enter no table: the winning side is taken for the profile's
    // player, so that the rating shown is entered as a player's would be.
    g->playerData[winner]->bHuman = 1;
    results->timeScale = 20.0;  // a state's wait in a frame
    for (int i = 0; i < 20 && !top<ContextHighScores>(); ++i) tapKey(kFire);
    auto* table = top<ContextHighScores>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->shownTable(), GameControllerDuel::kScoreTable);
    const int place = global->lastHighScorePlace;
    ASSERT_GE(place, 0);
    const HIGHSCOREENTRY& entry = global->configuration.highScores[GameControllerDuel::kScoreTable][place];
    EXPECT_EQ(entry.score, GameControllerResults::scoreForRating(rating));
    EXPECT_EQ(utf8ToWide(reinterpret_cast<const char*>(entry.name.bytes)), winner == 0 ? u"Ann" : u"Ann-2");
}
