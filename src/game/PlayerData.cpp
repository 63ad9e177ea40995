#include "game/PlayerData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

#include "engine/ErrorManager.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/PlayerSaveBlock.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
#include "render/Easing.h"

PlayerData::PlayerData(std::int32_t side_) : side(side_), bPointerControl(side_ == 0 ? 1 : 0) { initMaskedScore(); }

// The two tables of random words have the shape of the shared random tables: words 0 to
// 32 are the first table (the key last), words 33 to 65 the second (the value last).
void PlayerData::initMaskedScore() {
    RandomTablePair tables{};
    initRandomTables(tables);
    std::copy(std::begin(tables.a), std::end(tables.a), maskedScore);
    std::copy(std::begin(tables.b), std::end(tables.b), maskedScore + 33);
}

void PlayerData::addMaskedScore(std::int32_t delta) {
    Random::next();
    Random::next();
    // Never below 0; and a score at the top of the range stays there rather than
    // wrapping round to nothing.
    const std::int64_t sum = static_cast<std::int64_t>(delta) + getScore();
    const auto score = static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, 0, INT32_MAX));
    const std::uint32_t low = Random::next();
    maskedScore[kKeyWord] = Random::next() * 65536u + low;
    maskedScore[kValueWord] = maskedScore[kKeyWord] ^ static_cast<std::uint32_t>(score);
}

std::int32_t PlayerData::getScore() const {
    return static_cast<std::int32_t>(maskedScore[kValueWord] ^ maskedScore[kKeyWord]);
}

void PlayerData::createPalms(std::int32_t count, std::uint8_t flag) {
    totalPalms = livePalms = count;
    QOR_ASSERT("PlayerData::createPalms", totalPalms <= MAXPALM);
    if (count < 0) totalPalms = livePalms = 0;
    for (int i = 0; i < MAXPALM; ++i) palms[i] = i < totalPalms ? new Palm(side) : nullptr;
    for (int i = 0; i < totalPalms; ++i) palms[i]->bSharedDefence = flag;
    sortPalmsByHeight();
    GameController* game = GameFx::currentGame();
    QorBase* list = game ? game->layer(GameController::kPalmList) : this;
    for (int i = 0; i < totalPalms; ++i) list->addChild(palms[i]);
}

// Higher palms stand farther back and are drawn first. A stable exchange sort that starts
// over after every swap: equal heights keep their order.
void PlayerData::sortPalmsByHeight() {
    for (int i = 0; i + 1 < totalPalms;) {
        Palm* upper = palms[i];
        Palm* lower = palms[i + 1];
        if (lower->position.y > upper->position.y) {
            palms[i] = lower;
            palms[i + 1] = upper;
            i = 0;
        } else {
            ++i;
        }
    }
}

Palm* PlayerData::pickRandomPalm() {
    if (livePalms <= 0) return palms[0];
    auto r = static_cast<std::int32_t>(Random::next() % static_cast<std::uint32_t>(livePalms));
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i] && palms[i]->isStanding() && --r < 0) return palms[i];
    return palms[0];
}

void PlayerData::saveplayer(const PlayerSaveBlock& record) {
    const SaveBytes& b = record.bytes;
    b.putU8(PlayerSaveBlock::kValid, 1);
    b.putS32(PlayerSaveBlock::kSide, side);
    b.putS32(PlayerSaveBlock::kTotalPalms, totalPalms);
    b.putS32(PlayerSaveBlock::kLivePalms, livePalms);
    for (int i = 0; i < kMaskedWords; ++i)
        b.putU32(PlayerSaveBlock::kMaskedScore + 4 * static_cast<std::size_t>(i), maskedScore[i]);
    b.putF32(PlayerSaveBlock::kRating, rating);
    b.putU8(PlayerSaveBlock::kHuman, bHuman);
    b.putU32(PlayerSaveBlock::kColour, colour);
    if (pVehicle) {
        b.putF32(PlayerSaveBlock::kWeaponEnergy, pVehicle->energy);
        if (pVehicle->weapon) b.putS32(PlayerSaveBlock::kWeaponType, pVehicle->weapon->type);
    }
    for (int i = 0; i < PlayerSaveBlock::kPalmRecords; ++i) record.palm(i).setValidData(false);
    savePalmRecords(record);
}

void PlayerData::savePalms(const PlayerSaveBlock& record) {
    record.bytes.putS32(PlayerSaveBlock::kLivePalms, livePalms);
    savePalmRecords(record);
}

void PlayerData::savePalmRecords(const PlayerSaveBlock& record) {
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i]) palms[i]->savePalm(record.palm(i));
}

bool PlayerData::loadplayer(const PlayerSaveBlock& record) {
    if (!record.isSound(side)) return false;
    const SaveBytes& b = record.bytes;
    totalPalms = b.getS32(PlayerSaveBlock::kTotalPalms);
    livePalms = b.getS32(PlayerSaveBlock::kLivePalms);
    for (int i = 0; i < kMaskedWords; ++i)
        maskedScore[i] = b.getU32(PlayerSaveBlock::kMaskedScore + 4 * static_cast<std::size_t>(i));
    rating = b.getF32(PlayerSaveBlock::kRating);
    bHuman = b.getU8(PlayerSaveBlock::kHuman) ? 1 : 0;
    colour = b.getU32(PlayerSaveBlock::kColour);
    return true;
}

void PlayerData::loadWeapon(const PlayerSaveBlock& record) {
    if (!pVehicle) return;
    const std::int32_t type = record.bytes.getS32(PlayerSaveBlock::kWeaponType);
    // Only what Weapon::createFromType makes: any other number in a file would be fatal.
    if (pVehicle->weapon && Weapon::isKnownType(type)) pVehicle->setWeapon(Weapon::createFromType(type, side));
    const float energy = record.bytes.getF32(PlayerSaveBlock::kWeaponEnergy);
    if (std::isfinite(energy) && energy >= 0.0f) pVehicle->energy = std::min(energy, pVehicle->energyCap);
}

bool PlayerData::loadPalms(const PlayerSaveBlock& record) {
    if (!record.isSound(side)) return false;
    const std::int32_t live = record.bytes.getS32(PlayerSaveBlock::kLivePalms);
    if (live > totalPalms) return false;
    // Every palm that exists takes its record, so all of them must be loadable before
    // the first is touched: a game is restored whole or not at all.
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (!Palm::isLoadable(record.palm(i))) return false;
    livePalms = live;
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i]) palms[i]->loadPalm(record.palm(i));
    return true;
}

bool PlayerData::hasVehicle() const { return pVehicle.get() != nullptr; }

float PlayerData::vehicleAttackFactor() const { return pVehicle ? pVehicle->attackFactor : 1.0f; }

float PlayerData::vehicleDefenceFactor() const { return pVehicle ? pVehicle->defenceFactor : 1.0f; }

bool PlayerData::getVehiclePosition(Vector3& out) const {
    if (!pVehicle) return false;
    out = pVehicle->position;
    return true;
}

bool PlayerData::giveWeapon(std::int32_t type) {
    if (!pVehicle) return false;
    pVehicle->setWeapon(Weapon::createFromType(type, side));
    pVehicle->energy = pVehicle->energyCap;
    return pVehicle->weapon != nullptr;
}

bool PlayerData::isWeaponOutOfEnergy() const { return pVehicle && pVehicle->weapon && pVehicle->weapon->bOutOfEnergy; }
