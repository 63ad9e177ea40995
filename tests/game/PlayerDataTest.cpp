#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "engine/Random.h"
#include "game/PlayerData.h"
#include "game/PlayerSaveBlock.h"
#include "support/GameTestEngine.h"

TEST(PlayerData, AMaskedScoreSumsExactlyRekeysEveryTimeAndClampsAtBothEnds) {
    GameTestEngine engine;
    PlayerData player(0);
    EXPECT_EQ(player.getScore(), 0);
    std::uint32_t lastKey = player.maskedScore[PlayerData::kKeyWord];
    for (int delta : {200, 55, -5}) {
        const int before = player.getScore();
        player.addMaskedScore(delta);
        EXPECT_EQ(player.getScore(), before + delta);
        EXPECT_NE(player.maskedScore[PlayerData::kKeyWord], lastKey);
        lastKey = player.maskedScore[PlayerData::kKeyWord];
    }
    const std::uint32_t state = Random::state();
    player.addMaskedScore(-500);
    EXPECT_EQ(player.getScore(), 0);
    const std::uint32_t after = Random::state();
    Random::seed(state);
    for (int i = 0; i < 4; ++i) Random::step();
    EXPECT_EQ(Random::state(), after);  // four draws of the shared generator per change
    player.addMaskedScore(INT_MAX);
    player.addMaskedScore(10);  // no wrap round to nothing
    EXPECT_EQ(player.getScore(), INT_MAX);
}

TEST(PlayerData, PalmCountsAreBoundedAndARecordNeedsARecordForEveryPalm) {
    GameTestEngine engine;
    PlayerData saved(1), loaded(1);
    EXPECT_EQ(saved.pickRandomPalm(), nullptr);
    EXPECT_DEATH(saved.createPalms(11, 0), "totalPalms <= MAXPALM");
    saved.createPalms(2, 0);
    saved.addMaskedScore(77);
    std::array<std::uint8_t, PlayerSaveBlock::kSize> bytes{};
    const PlayerSaveBlock record(SaveBytes(bytes.data(), bytes.size()));
    saved.saveplayer(record);
    record.palm(1).setValidData(false);
    EXPECT_FALSE(loaded.loadplayer(record));  // a palm in use without its record
    record.palm(1).setValidData(true);
    EXPECT_FALSE(PlayerData(0).loadplayer(record));  // another side's record
    ASSERT_TRUE(loaded.loadplayer(record));
    EXPECT_EQ(loaded.getScore(), 77);
    record.palm(1).bytes.putF32(PalmSaveRecord::kHealth, 2.0f);  // above its maximum
    EXPECT_FALSE(loaded.loadPalms(record));
}
