// The game-mode and rules screens: what they offer for the profile's saved games, and how
// they start a game. Controllers are stand-ins registered under the modes' class names
// for the length of one test, so the screens' own start path runs whether or not the
// modes are built.
#include <gtest/gtest.h>

#include <string>

#include "engine/ClassInfo.h"
#include "game/ContextDuelRules.h"
#include "game/ContextInvasionRules.h"
#include "game/GameLauncher.h"
#include "game/SavedGame.h"
#include "support/GameTestEngine.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGameMode.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemCheckbox.h"

namespace {
class StandInGame : public GameController {
public:
    static constexpr std::size_t kMarker = SavedGame::kExtras + 1;  // a byte only the test writes
    void startGame(const SavedGame* block) override {
        ++starts;
        marker = block ? block->bytes.getU8(kMarker) : -1;
        validAtStart = block && block->validData();
    }
    int starts = 0;
    int marker = 0;  // the block's marker byte, -1 for a new game
    bool validAtStart = false;
};

// A class record for the stand-in under `name`, at the head of the registry (so found
// before any real class of that name) until the test ends.
struct StandInRecord {
    explicit StandInRecord(const char16_t* name)
        : record(classIdForName(name), name, &Context::classInfo, &makeInstance<StandInGame, BasicLink>) {}
    ClassInfo record;
};

class RulesScreensTest : public ::testing::Test {
protected:
    RulesScreensTest() { global->profiles.createProfile(u"Ann"); }
    ProfileData& profile() { return global->profiles.profiles[0]; }
    ContextManager& stack() { return *global->pContextManager; }
    Context* top() { return stack().top(); }
    // A game of the base controller saved into `block` (sound, and marked valid), with
    // the test's marker.
    template <std::size_t N>
    void saveInto(std::array<std::uint8_t, N>& block) {
        GameController game;
        game.savegame(SavedGame(block));
        block[StandInGame::kMarker] = 0x5A;
    }
    template <class Screen>
    Screen* open() {
        auto* screen = new Screen();
        stack().addChild(screen);
        return screen;
    }

    GameTestEngine engine;
};

struct Offer {
    const char* what;
    int block;  // 0 none, 1 a sound saved game, 2 marked valid but damaged
    bool canContinue;
};

class ContinueOfferTest : public RulesScreensTest, public ::testing::WithParamInterface<Offer> {
protected:
    void prepare(std::array<std::uint8_t, 1840>& invasion, std::array<std::uint8_t, 1832>& duel) {
        if (GetParam().block == 0) return;
        saveInto(invasion);
        saveInto(duel);
        if (GetParam().block == 2) {
            SavedGame(invasion).bytes.putS32(SavedGame::kPlayerSides, 7);
            SavedGame(duel).bytes.putS32(SavedGame::kScoreTable, -1);
        }
    }
    static void expectOffer(const MenuButton& start, const MenuButton& cont, bool offered, const char* screen) {
        EXPECT_EQ(cont.bDisabled, offered ? 0 : 1) << screen;
        EXPECT_EQ(cont.disabledText, offered ? u"" : u"You don't have a saved game yet.") << screen;
        EXPECT_EQ(start.questionTitle, offered ? u"Are you sure?" : u"") << screen;
        EXPECT_EQ(start.questionText, offered ? u"Any existing progress will be lost!" : u"") << screen;
    }
};

TEST_P(ContinueOfferTest, OnlyASoundSavedGameCanBeContinuedAndANewGameThenAsksFirst) {
    prepare(profile().invasionGame, profile().duelGame);
    auto* invasion = open<ContextInvasionRules>();
    expectOffer(*invasion->pStartNew, *invasion->pContinue, GetParam().canContinue, "Invasion");
    auto* duel = open<ContextDuelRules>();
    expectOffer(*duel->pStartNew, *duel->pContinue, GetParam().canContinue, "Duel");
}

INSTANTIATE_TEST_SUITE_P(Blocks, ContinueOfferTest,
                         ::testing::Values(Offer{"new profile", 0, false}, Offer{"saved game", 1, true},
                                           Offer{"damaged block", 2, false}));

TEST_F(RulesScreensTest, StartInvalidatesTheSavedGameAndContinueStartsFromIt) {
    StandInRecord campaign(ContextInvasionRules::kControllerClass);
    for (bool continueSaved : {true, false}) {
        saveInto(profile().invasionGame);
        auto* rules = open<ContextInvasionRules>();
        (continueSaved ? rules->pContinue : rules->pStartNew)->bTriggered = 1;
        rules->tickContents(0.0, 0.0);
        auto* game = dynamic_cast<StandInGame*>(top());
        ASSERT_NE(game, nullptr);
        EXPECT_EQ(engine.app().pCurrentGame, game);
        EXPECT_EQ(game->starts, 1);
        EXPECT_EQ(game->marker, continueSaved ? 0x5A : -1);
        EXPECT_EQ(game->validAtStart, continueSaved);
        EXPECT_EQ(profile().invasionGame[0], continueSaved ? 1 : 0);
        EXPECT_TRUE(rules->bFinished);  // it goes when the game goes
        engine.app().pCurrentGame = nullptr;
    }
}

TEST_F(RulesScreensTest, TheTutorialLeavesTheDuelRulesOpenAndItsSavedGameAlone) {
    StandInRecord duelClass(ContextDuelRules::kDuelClass);
    StandInRecord tutorial(ContextDuelRules::kTutorialClass);
    saveInto(profile().duelGame);
    auto* rules = open<ContextDuelRules>();
    rules->pHowToPlay->bTriggered = 1;
    rules->tickContents(0.0, 0.0);
    auto* game = dynamic_cast<StandInGame*>(top());
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->marker, -1);
    EXPECT_FALSE(rules->bFinished);
    EXPECT_EQ(profile().duelGame[0], 1);
    rules->pContinue->bTriggered = 1;
    rules->tickContents(0.0, 0.0);
    ASSERT_NE(dynamic_cast<StandInGame*>(top()), game);
    EXPECT_EQ(static_cast<StandInGame*>(top())->marker, 0x5A);
    EXPECT_TRUE(rules->bFinished);
}

TEST_F(RulesScreensTest, AModeThatIsNotBuiltStartsNothingAndKeepsTheScreenAndTheSavedGame) {
    saveInto(profile().invasionGame);
    auto* rules = open<ContextInvasionRules>();
    EXPECT_EQ(GameLauncher::startFrom(*rules, u"NoSuchController", SavedGame(profile().invasionGame), false), nullptr);
    EXPECT_EQ(top(), rules);
    EXPECT_FALSE(rules->bFinished);
    EXPECT_EQ(profile().invasionGame[0], 1);
    EXPECT_EQ(engine.app().pCurrentGame, nullptr);
}

TEST_F(RulesScreensTest, TheGameModeScreenOpensEachTriggeredScreenAndTheMutatorsInTheirOwnOrder) {
    auto* mode = open<ContextGameMode>();
    mode->pInvasion->bTriggered = 1;
    mode->pDuel->bTriggered = 1;
    mode->tickContents(0.0, 0.0);
    EXPECT_NE(dynamic_cast<ContextDuelRules*>(top()), nullptr);
    EXPECT_NE(dynamic_cast<ContextInvasionRules*>(static_cast<QorBase*>(top()->prev)), nullptr);
    EXPECT_FALSE(mode->bFinished);
    // Rows top to bottom: No blaster, Matrix fight, Berserk, then the record's order.
    ContextDialog* mutators = openMutators();
    const int expected[] = {2, 0, 1, 3, 4, 5, 6};
    int row = 0;
    for (BasicLink* c = mutators->firstChild; c; c = c->next)
        if (auto* box = dynamic_cast<MenuItemCheckbox*>(static_cast<QorBase*>(c)); box && row < 7) {
            EXPECT_EQ(box->value, &global->configuration.mutators[expected[row]]) << row;
            ++row;
        }
    EXPECT_EQ(row, 7);
    mutators->destroy();
}
}  // namespace
