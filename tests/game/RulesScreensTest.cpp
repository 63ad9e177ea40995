// The game-mode and rules screens: what they offer for the profile's saved games, and how
// they start a game. Controllers are stand-ins registered under the modes' class names
// for the length of one test, ahead of any real class of that name, so the screens' own
// start path runs whether or not the modes are built.
#include <gtest/gtest.h>

#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Strings.h"
#include "game/ContextDuelRules.h"
#include "game/ContextInvasionRules.h"
#include "game/GameLauncher.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "support/GameTestEngine.h"
#include "support/TempFolder.h"
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
    RulesScreensTest() {
        global->profiles.createProfile(u"Ann");
        qor->pLogger = new Logger(utf8ToWide(engine.home.file("test.log")));
    }
    ~RulesScreensTest() override {
        delete qor->pLogger;
        qor->pLogger = nullptr;
    }
    std::string log() const { return TempFolder::read(engine.home.file("test.log")); }
    ProfileData& profile() { return global->profiles.profiles[0]; }
    StandInGame* started() { return dynamic_cast<StandInGame*>(global->pContextManager->top()); }
    // A sound game saved into `block`, marked valid, with the test's marker (and, for
    // a Duel block, the first day of a war of five; for an Invasion block, the first
    // wave of fifty).
    template <std::size_t N>
    void saveInto(std::array<std::uint8_t, N>& block) {
        const SavedGame saved(block);
        GameController game;
        game.playerData[0]->createPalms(game.palmsPerIsland, 1);
        game.savegame(saved);
        if (N == SavedGame::kDuelSize) {
            saved.bytes.putS32(SavedGame::kDay, 1);
            saved.bytes.putS32(SavedGame::kDays, 5);
        } else {
            saved.bytes.putS32(SavedGame::kWaveCount, 50);
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
    const std::u16string hint[] = {u"You don't have a saved game yet.", u"",
                                   u"Your saved game is damaged and cannot be continued."};
    auto* invasion = open<ContextInvasionRules>();
    auto* duel = open<ContextDuelRules>();
    for (auto [start, cont] :
         {std::pair{invasion->pStartNew, invasion->pContinue}, {duel->pStartNew, duel->pContinue}}) {
        EXPECT_EQ(cont->bDisabled, offered ? 0 : 1);
        EXPECT_EQ(cont->disabledText, hint[GetParam()]);
        EXPECT_EQ(start->questionTitle, offered ? u"Are you sure?" : u"");
        EXPECT_EQ(start->questionText, offered ? u"Any existing progress will be lost!" : u"");
    }
    EXPECT_EQ(log().find("cannot be continued") != std::string::npos, GetParam() == 2);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ContinueOfferTest, ::testing::Values(0, 1, 2));

// One field of a sound block damaged: the screen of its mode leaves the block as it is,
// and the log says why it is not offered.
struct Damage {
    bool duel;
    std::size_t offset;
    std::int32_t value;
    const char* why;
};

class DamagedBlockTest : public RulesScreensTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedBlockTest, IsRefusedWithItsReasonInTheLog) {
    const Damage& d = GetParam();
    saveInto(profile().invasionGame);
    saveInto(profile().duelGame);
    std::uint8_t* bytes = d.duel ? profile().duelGame.data() : profile().invasionGame.data();
    SaveBytes(bytes, d.duel ? SavedGame::kDuelSize : SavedGame::kInvasionSize).putS32(d.offset, d.value);
    const ProfileData before = profile();
    ContextGameRules* rules = d.duel ? static_cast<ContextGameRules*>(open<ContextDuelRules>())
                                     : static_cast<ContextGameRules*>(open<ContextInvasionRules>());
    EXPECT_TRUE(rules->pContinue->bDisabled);
    EXPECT_EQ(rules->pContinue->disabledText, u"Your saved game is damaged and cannot be continued.");
    EXPECT_NE(log().find(std::string("cannot be continued: ") + d.why + "."), std::string::npos) << log();
    EXPECT_EQ(profile().invasionGame, before.invasionGame);
    EXPECT_EQ(profile().duelGame, before.duelGame);
}

constexpr std::size_t kSide1 = SavedGame::kPlayers + PlayerSaveBlock::kSize;

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedBlockTest,
    ::testing::Values(Damage{false, SavedGame::kWave, 1000000000, "wave 1000000000 is not within 0..49"},
                      Damage{false, SavedGame::kWaveCount, 0, "wave count 0 is not within 1..50"},
                      Damage{false, SavedGame::kPlayers + PlayerSaveBlock::kWeaponType, 6,
                             "player record 0: weapon type 6 is unknown"},
                      Damage{false, SavedGame::kPlayerSides, 7, "player sides 7 is not within 1..2"},
                      Damage{false, kSide1 + PlayerSaveBlock::kSide, 0, "player record 1: the record is of side 0"},
                      Damage{true, SavedGame::kDays, 9, "days 9 is not within 1..5"},
                      Damage{true, SavedGame::kRound, 3, "round 3 is not within 0..2"},
                      Damage{true, SavedGame::kTargetsReleased, 0, "targets released 0 is not within 1..2147483647"}),
    [](const ::testing::TestParamInfo<Damage>& info) { return "Case" + std::to_string(info.index); });

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
