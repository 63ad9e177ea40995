#include "game/PlayerData.h"

#include "engine/ErrorManager.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/PlayerSaveBlock.h"
#include "ui/GameGlobal.h"

// The vehicles, their weapons and the palms are built beside this class. Until their
// headers are in the tree, a side has no vehicle and no palms as far as this file can
// tell: factors stay 1.0 and nothing of them is saved or restored.
#if __has_include("game/Vehicle.h") && __has_include("game/Weapon.h")
#define TORVANE_GAME_HAS_VEHICLES 1
#include "game/Vehicle.h"
#include "game/Weapon.h"
#else
#define TORVANE_GAME_HAS_VEHICLES 0
#endif
#if __has_include("game/Palm.h")
#define TORVANE_GAME_HAS_PALMS 1
#include "game/Palm.h"
#else
#define TORVANE_GAME_HAS_PALMS 0
#endif

namespace {
// Two draws of the shared generator: the second one is the high half.
std::uint32_t randomWord() {
    const std::uint32_t low = Random::next();
    return Random::next() * 65536u + low;
}
}  // namespace

PlayerData::PlayerData(std::int32_t side_) : side(side_), bPointerControl(side_ == 0 ? 1 : 0) { initMaskedScore(); }

void PlayerData::initMaskedScore() {
    for (int i = 0; i < 32; ++i) {
        maskedScore[i] = randomWord();
        maskedScore[33 + i] = randomWord();
    }
    Random::next();
    Random::next();
    maskedScore[kKeyWord] = maskedScore[kValueWord] = randomWord();
}

void PlayerData::addMaskedScore(std::int32_t delta) {
    Random::next();
    Random::next();
    // The sum wraps as 32-bit arithmetic does; a negative result is no score.
    std::int32_t score =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(delta) + static_cast<std::uint32_t>(getScore()));
    if (score < 0) score = 0;
    maskedScore[kKeyWord] = randomWord();
    maskedScore[kValueWord] = maskedScore[kKeyWord] ^ static_cast<std::uint32_t>(score);
}

std::int32_t PlayerData::getScore() const {
    return static_cast<std::int32_t>(maskedScore[kValueWord] ^ maskedScore[kKeyWord]);
}

void PlayerData::createPalms(std::int32_t count, std::uint8_t flag) {
    totalPalms = livePalms = count;
    QOR_ASSERT("PlayerData::createPalms", totalPalms <= MAXPALM);
    (void)flag;
}

Palm* PlayerData::pickRandomPalm() { return palms[0]; }

void PlayerData::saveplayer(const PlayerSaveBlock& record) { (void)record; }

void PlayerData::savePalms(const PlayerSaveBlock& record) { (void)record; }

bool PlayerData::loadplayer(const PlayerSaveBlock& record) { return record.isSound(side); }

void PlayerData::loadWeapon(const PlayerSaveBlock& record) { (void)record; }

bool PlayerData::loadPalms(const PlayerSaveBlock& record) { return record.isSound(side); }

void PlayerData::savePalmRecords(const PlayerSaveBlock& record) { (void)record; }

float PlayerData::vehicleAttackFactor() const { return 1.0f; }

float PlayerData::vehicleDefenceFactor() const { return 1.0f; }

bool PlayerData::giveWeapon(std::int32_t type) {
    (void)type;
    return false;
}
