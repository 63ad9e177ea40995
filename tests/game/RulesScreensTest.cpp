// The game-mode and rules screens: what they offer for the profile's saved games, and how
// they start a game. Controllers are stand-ins registered under the modes' class names
// for the length of one test, ahead of any real class of that name, so the screens' own
// start path runs whether or not the modes are built.
#include <gtest/gtest.h>

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
constexpr std::size_t kMarker = SavedGame::kDays + 4;  // padding in both blocks: only the test writes it

class StandInGame : public GameController {
public:
    void startGame(const SavedGame* block) override { marker = block ? block->bytes.getU8(kMarker) : -1; }
    int marker = 0;  // the started block's marker, -1 for a new game
};

struct StandIn {
    explicit StandIn(const char16_t* name)
        : record(classIdForName(name), name, &Context::classInfo, &makeInstance<StandInGame, BasicLink>) {}
    ClassInfo record;
};

class RulesScreensTest : public ::testing::Test {
protected:
    RulesScreensTest() { global->profiles.createProfile(u"Ann"); }
    ProfileData& profile() { return global->profiles.profiles[0]; }
    StandInGame* started() { return dynamic_cast<StandInGame*>(global->pContextManager->top()); }
    // A sound game saved into `block`, marked valid, with the test's marker (and, for
    // a Duel block, the first day of a war of five).
    template <std::size_t N>
    void saveInto(std::array<std::uint8_t, N>& block) {
        const SavedGame saved(block);
        GameController().savegame(saved);
        if (N == SavedGame::kDuelSize) {
            saved.bytes.putS32(SavedGame::kDay, 1);
            saved.bytes.putS32(SavedGame::kDays, 5);
        }
        block[kMarker] = 0x5A;
    }
    template <class Screen>
    Screen* open() {
        auto* screen = new Screen();
        global->pContextManager->addChild(screen);
        return screen;
    }
    GameTestEngine engine;
};

class ContinueOfferTest : public RulesScreensTest, public ::testing::WithParamInterface<int> {};

// 0 no saved game, 1 a sound one, 2 one marked valid but damaged.
TEST_P(ContinueOfferTest, OnlyASoundSavedGameCanBeContinuedAndANewGameThenAsksFirst) {
    if (GetParam() > 0) {
        saveInto(profile().invasionGame);
        saveInto(profile().duelGame);
    }
    if (GetParam() == 2) {
        SavedGame(profile().invasionGame).bytes.putS32(SavedGame::kPlayerSides, 7);
        SavedGame(profile().duelGame).bytes.putS32(SavedGame::kScoreTable, -1);
    }
    const bool offered = GetParam() == 1;
    auto* invasion = open<ContextInvasionRules>();
    auto* duel = open<ContextDuelRules>();
    for (auto [start, cont] :
         {std::pair{invasion->pStartNew, invasion->pContinue}, {duel->pStartNew, duel->pContinue}}) {
        EXPECT_EQ(cont->bDisabled, offered ? 0 : 1);
        EXPECT_EQ(cont->disabledText, offered ? u"" : u"You don't have a saved game yet.");
        EXPECT_EQ(start->questionTitle, offered ? u"Are you sure?" : u"");
        EXPECT_EQ(start->questionText, offered ? u"Any existing progress will be lost!" : u"");
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, ContinueOfferTest, ::testing::Values(0, 1, 2));

TEST_F(RulesScreensTest, StartInvalidatesTheSavedGameAndContinueStartsFromIt) {
    StandIn campaign(ContextInvasionRules::kControllerClass);
    for (bool continueSaved : {true, false}) {
        saveInto(profile().invasionGame);
        auto* rules = open<ContextInvasionRules>();
        (continueSaved ? rules->pContinue : rules->pStartNew)->bTriggered = 1;
        rules->tickContents(0.0, 0.0);
        ASSERT_NE(started(), nullptr);
        EXPECT_EQ(engine.app().pCurrentGame, started());
        EXPECT_EQ(started()->marker, continueSaved ? 0x5A : -1);
        EXPECT_EQ(profile().invasionGame[0], continueSaved ? 1 : 0);
        EXPECT_TRUE(rules->bFinished);  // it goes when the game goes
        engine.app().pCurrentGame = nullptr;
    }
}

TEST_F(RulesScreensTest, TheTutorialLeavesTheDuelRulesOpenAndItsSavedGameAlone) {
    StandIn duelClass(ContextDuelRules::kDuelClass);
    StandIn tutorial(ContextDuelRules::kTutorialClass);
    saveInto(profile().duelGame);
    auto* rules = open<ContextDuelRules>();
    rules->pHowToPlay->bTriggered = 1;
    rules->tickContents(0.0, 0.0);
    ASSERT_NE(started(), nullptr);
    EXPECT_EQ(started()->marker, -1);
    EXPECT_FALSE(rules->bFinished);
    EXPECT_EQ(profile().duelGame[0], 1);
    rules->pContinue->bTriggered = 1;
    rules->tickContents(0.0, 0.0);
    EXPECT_EQ(started()->marker, 0x5A);
    EXPECT_TRUE(rules->bFinished);
}

TEST_F(RulesScreensTest, AModeThatIsNotBuiltStartsNothingAndKeepsTheScreenAndTheSavedGame) {
    saveInto(profile().invasionGame);
    auto* rules = open<ContextInvasionRules>();
    EXPECT_EQ(GameLauncher::startFrom(*rules, u"NoSuchController", SavedGame(profile().invasionGame), false), nullptr);
    EXPECT_EQ(global->pContextManager->top(), rules);
    EXPECT_FALSE(rules->bFinished);
    EXPECT_EQ(profile().invasionGame[0], 1);
}

TEST_F(RulesScreensTest, TheGameModeScreenOpensEachTriggeredScreenAndTheMutatorsInTheirOwnOrder) {
    auto* mode = open<ContextGameMode>();
    mode->pInvasion->bTriggered = mode->pDuel->bTriggered = 1;
    mode->tickContents(0.0, 0.0);
    Context* top = global->pContextManager->top();
    EXPECT_NE(dynamic_cast<ContextDuelRules*>(top), nullptr);
    EXPECT_NE(dynamic_cast<ContextInvasionRules*>(static_cast<QorBase*>(top->prev)), nullptr);
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
