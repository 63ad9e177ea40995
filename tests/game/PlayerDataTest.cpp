#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <limits>

#include "engine/Random.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/PlayerSaveBlock.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
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

TEST(PlayerData, ReadingTheScoreNeverDrawsFromTheSharedGenerator) {
    GameTestEngine engine;
    PlayerData player(0);
    player.addMaskedScore(40);
    const std::uint32_t state = Random::state();
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(player.getScore(), 40);
    EXPECT_EQ(Random::state(), state);  // the HUD reads it every frame
}

TEST(PlayerData, PalmsAreAlwaysOwnedAndHeldByLinksThatEmptyWhenTheyGo) {
    GameTestEngine engine;
    auto* side = new PlayerData(1);              // no current game: the side keeps its palms
    EXPECT_EQ(side->pickRandomPalm(), nullptr);  // none to pick
    EXPECT_DEATH(side->createPalms(11, 0), "totalPalms <= MAXPALM");
    side->createPalms(2, 1);
    ASSERT_NE(side->palms[1].get(), nullptr);
    EXPECT_EQ(side->palms[0]->parent, side);
    EXPECT_GE(side->palms[0]->position.y, side->palms[1]->position.y);
    side->palms[0]->destroy();
    EXPECT_EQ(side->palms[0].get(), nullptr);
    side->livePalms = 0;
    EXPECT_EQ(side->pickRandomPalm(), nullptr);
    side->destroy();  // and its remaining palm with it

    GameController& game = engine.startGame();
    game.playerData[0]->createPalms(3, 0);
    EXPECT_EQ(game.layer(GameController::kPalmList)->countChildren(), 3);
    auto* vehicle = new Vehicle(0);
    game.layer(GameController::kVehicleList)->addChild(vehicle);
    game.playerData[0]->pVehicle = vehicle;
    game.layer(GameController::kVehicleList)->deleteChildren();
    EXPECT_FALSE(game.playerData[0]->hasVehicle());
}

TEST(PlayerData, ASideWithoutAVehicleKeepsItsWeaponWordsAndNeitherSwitchesNorRunsDry) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    PlayerData& side = *game.playerData[0];
    game.switchWeapon(0, 3);  // nothing to arm: no fault, no weapon
    EXPECT_FALSE(side.isWeaponOutOfEnergy());
    auto* vehicle = new Vehicle(0);
    game.layer(GameController::kVehicleList)->addChild(vehicle);
    side.pVehicle = vehicle;
    vehicle->setWeapon(Weapon::createFromType(3, 0));
    vehicle->weapon->bOutOfEnergy = 1;
    EXPECT_TRUE(side.isWeaponOutOfEnergy());

    std::array<std::uint8_t, PlayerSaveBlock::kSize> bytes{};
    const PlayerSaveBlock record(SaveBytes(bytes.data(), bytes.size()));
    record.bytes.putS32(PlayerSaveBlock::kWeaponType, 6);  // the Duel cannon's own: no type to make
    record.bytes.putF32(PlayerSaveBlock::kWeaponEnergy, std::numeric_limits<float>::quiet_NaN());
    vehicle->energy = 0.5f;
    side.loadWeapon(record);
    EXPECT_EQ(vehicle->weapon->type, 3);
    EXPECT_FLOAT_EQ(vehicle->energy, 0.5f);
    record.bytes.putS32(PlayerSaveBlock::kWeaponType, 5);
    record.bytes.putF32(PlayerSaveBlock::kWeaponEnergy, 7.0f);
    side.loadWeapon(record);
    EXPECT_EQ(vehicle->weapon->type, 5);
    EXPECT_FLOAT_EQ(vehicle->energy, vehicle->energyCap);
}

TEST(PlayerData, PalmsAreRestoredWholeOrNotAtAll) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    PlayerData& side = *game.playerData[1];
    side.createPalms(3, 0);
    side.addMaskedScore(77);
    side.palms[0]->bendOffset = 0.125f;
    std::array<std::uint8_t, PlayerSaveBlock::kSize> bytes{};
    const PlayerSaveBlock record(SaveBytes(bytes.data(), bytes.size()));
    side.saveplayer(record);
    EXPECT_FALSE(PlayerData(0).loadplayer(record));  // another side's record
    side.palms[0]->bendOffset = 0.0f;
    record.palm(2).bytes.putS32(PalmSaveRecord::kState, 7);  // no state a palm has
    EXPECT_FALSE(side.loadPalms(record));
    EXPECT_EQ(side.palms[0]->bendOffset, 0.0f);  // not even the first palm was touched
    record.palm(2).bytes.putS32(PalmSaveRecord::kState, Palm::kBurnt);
    ASSERT_TRUE(side.loadPalms(record));
    EXPECT_EQ(side.palms[0]->bendOffset, 0.125f);
    EXPECT_EQ(side.palms[2]->state, Palm::kBurnt);
}
