#include <gtest/gtest.h>

#include <climits>

#include "engine/Random.h"
#include "game/PlayerData.h"
#include "render/Easing.h"
#include "support/GameTestEngine.h"

TEST(PlayerData, AMaskedScoreStartsAtZeroAndIsNeverHeldPlain) {
    GameTestEngine engine;
    Random::seed(7);
    PlayerData player(0);
    // The two tables are the shared random tables, the key and the value equal.
    Random::seed(7);
    RandomTablePair tables{};
    initRandomTables(tables);
    for (int i = 0; i < 33; ++i) {
        EXPECT_EQ(player.maskedScore[i], tables.a[i]);
        EXPECT_EQ(player.maskedScore[33 + i], tables.b[i]);
    }
    EXPECT_EQ(player.getScore(), 0);
    EXPECT_NE(player.maskedScore[PlayerData::kKeyWord], 0u);
    EXPECT_EQ(player.bPointerControl, 1);
    EXPECT_EQ(PlayerData(1).bPointerControl, 0);
}

TEST(PlayerData, AddingScoresSumsExactlyRekeysEveryTimeAndClampsAtBothEnds) {
    GameTestEngine engine;
    PlayerData player(0);
    std::uint32_t lastKey = player.maskedScore[PlayerData::kKeyWord];
    for (int delta : {200, 55, -5, 1000}) {
        const int before = player.getScore();
        const std::uint32_t state = Random::state();
        player.addMaskedScore(delta);
        EXPECT_EQ(player.getScore(), before + delta);
        EXPECT_NE(player.maskedScore[PlayerData::kKeyWord], lastKey);
        EXPECT_NE(player.maskedScore[PlayerData::kValueWord], static_cast<std::uint32_t>(player.getScore()));
        lastKey = player.maskedScore[PlayerData::kKeyWord];
        // Four draws of the shared generator per change.
        Random::seed(state);
        for (int i = 0; i < 4; ++i) Random::step();
        const std::uint32_t expected = Random::state();
        Random::seed(state);
        player.addMaskedScore(0);
        EXPECT_EQ(Random::state(), expected);
    }
    player.addMaskedScore(-5000);
    EXPECT_EQ(player.getScore(), 0);
    player.addMaskedScore(INT_MAX);
    player.addMaskedScore(10);  // no wrap round to nothing
    EXPECT_EQ(player.getScore(), INT_MAX);
}

TEST(PlayerData, PalmCountsAreBoundedAndAPickWithoutStandingPalmsGivesTheFirst) {
    GameTestEngine engine;
    PlayerData player(1);
    EXPECT_EQ(player.pickRandomPalm(), nullptr);  // no palms at all
    player.livePalms = 3;
    EXPECT_EQ(player.pickRandomPalm(), player.palms[0]);
    player.createPalms(10, 0);
    EXPECT_EQ(player.totalPalms, 10);
    EXPECT_DEATH(player.createPalms(11, 0), "totalPalms <= MAXPALM");
}
