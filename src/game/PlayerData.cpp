#include "game/PlayerData.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

#include "engine/ErrorManager.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/PlayerSaveBlock.h"
#include "render/Easing.h"

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
#if TORVANE_GAME_HAS_PALMS
    for (int i = 0; i < totalPalms; ++i) {
        palms[i] = new Palm(side);
        palms[i]->bSharedDefence = flag;
    }
    sortPalmsByHeight();
    auto* app = dynamic_cast<GameGlobal*>(global);
    QorBase* list = app && app->pCurrentGame ? app->pCurrentGame->layer(GameController::kPalmList) : nullptr;
    for (int i = 0; i < totalPalms; ++i)
        if (list) list->addChild(palms[i]);
#else
    (void)flag;
#endif
}

// Higher palms stand farther back and are drawn first. A stable exchange sort that starts
// over after every swap: equal heights keep their order.
void PlayerData::sortPalmsByHeight() {
#if TORVANE_GAME_HAS_PALMS
    for (int i = 0; i + 1 < totalPalms;) {
        if (palms[i + 1]->position.y > palms[i]->position.y) {
            std::swap(palms[i], palms[i + 1]);
            i = 0;
        } else {
            ++i;
        }
    }
#endif
}

Palm* PlayerData::pickRandomPalm() {
    if (livePalms <= 0) return palms[0];
    auto r = static_cast<std::int32_t>(Random::next() % static_cast<std::uint32_t>(livePalms));
#if TORVANE_GAME_HAS_PALMS
    constexpr std::int32_t kPalmStanding = 1;  // the palm's state while it stands
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i] && palms[i]->state == kPalmStanding && --r < 0) return palms[i];
#else
    (void)r;
#endif
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
#if TORVANE_GAME_HAS_VEHICLES
    if (pVehicle) {
        b.putF32(PlayerSaveBlock::kWeaponEnergy, pVehicle->energy);
        if (pVehicle->weapon) b.putS32(PlayerSaveBlock::kWeaponType, pVehicle->weapon->type);
    }
#endif
    for (int i = 0; i < PlayerSaveBlock::kPalmRecords; ++i) record.palm(i).setValidData(false);
    savePalmRecords(record);
}

void PlayerData::savePalms(const PlayerSaveBlock& record) {
    record.bytes.putS32(PlayerSaveBlock::kLivePalms, livePalms);
    savePalmRecords(record);
}

void PlayerData::savePalmRecords(const PlayerSaveBlock& record) {
#if TORVANE_GAME_HAS_PALMS
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i]) palms[i]->savePalm(record.palm(i));
#else
    (void)record;
#endif
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
#if TORVANE_GAME_HAS_VEHICLES
    if (!pVehicle) return;
    const std::int32_t type = record.bytes.getS32(PlayerSaveBlock::kWeaponType);
    // Only a type that createFromType can make: any other is fatal there.
    if (pVehicle->weapon && Weapon::isKnownType(type)) {
        pVehicle->weapon->destroy();
        pVehicle->weapon = Weapon::createFromType(type, side);
    }
    const float energy = record.bytes.getF32(PlayerSaveBlock::kWeaponEnergy);
    // Energy from a file is kept within what the vehicle can hold.
    if (energy >= 0.0f) pVehicle->energy = energy < pVehicle->energyCap ? energy : pVehicle->energyCap;
#else
    (void)record;
#endif
}

bool PlayerData::loadPalms(const PlayerSaveBlock& record) {
    if (!record.isSound(side)) return false;
    const std::int32_t live = record.bytes.getS32(PlayerSaveBlock::kLivePalms);
    if (live > totalPalms) return false;
    // Every palm that exists takes its record, so each of those must hold one.
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (!record.palm(i).isSound()) return false;
    livePalms = live;
#if TORVANE_GAME_HAS_PALMS
    for (int i = 0; i < totalPalms && i < MAXPALM; ++i)
        if (palms[i]) palms[i]->loadPalm(record.palm(i));
#endif
    return true;
}

float PlayerData::vehicleAttackFactor() const {
#if TORVANE_GAME_HAS_VEHICLES
    if (pVehicle) return pVehicle->attackFactor;
#endif
    return 1.0f;
}

float PlayerData::vehicleDefenceFactor() const {
#if TORVANE_GAME_HAS_VEHICLES
    if (pVehicle) return pVehicle->defenceFactor;
#endif
    return 1.0f;
}

bool PlayerData::getVehiclePosition(Vector3& out) const {
#if TORVANE_GAME_HAS_VEHICLES
    if (pVehicle) {
        out = pVehicle->position;
        return true;
    }
#else
    (void)out;
#endif
    return false;
}

bool PlayerData::giveWeapon(std::int32_t type) {
#if TORVANE_GAME_HAS_VEHICLES
    if (!pVehicle) return false;
    if (pVehicle->weapon) pVehicle->weapon->destroy();
    pVehicle->weapon = Weapon::createFromType(type, side);
    pVehicle->energy = pVehicle->energyCap;
    return pVehicle->weapon != nullptr;
#else
    (void)type;
    return false;
#endif
}
