#pragma once
// What belongs to one side of a game: its island, palms and vehicle (set by the mode when
// it builds the world), its score, its final rating, its colour and whether a person
// plays it. It also writes and reads its record of the saved game.
//
// The score is never held in plain form: maskedScore keeps it XORed with a key drawn
// afresh from the shared random generator at every change, the key and the value at the
// ends of two tables of random words. Every score change therefore takes four draws
// from the shared generator, and shifts what the rest of the game draws afterwards.
//
// Lifetime: created by the game controller, one per side, as a child of the scene;
// destroyed with it. The island, palms and vehicle are not owned: they live in the
// controller's entity lists. Main thread only.
#include <cstdint>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/UColor.h"

class Palm;
class PlayerSaveBlock;
class Renderable;
class Vehicle;

class PlayerData : public QorBase {
public:
    static constexpr int MAXPALM = 10;
    static constexpr int kMaskedWords = 66;
    static constexpr int kKeyWord = 32;    // the key of the masked score
    static constexpr int kValueWord = 65;  // the masked score

    explicit PlayerData(std::int32_t side);

    // Writes the whole record: the player fields, the vehicle's weapon energy and weapon
    // type (left as they were without a vehicle or weapon) and the palm records (those
    // from totalPalms on marked empty).
    virtual void saveplayer(const PlayerSaveBlock& record);
    // Rewrites livePalms and the first totalPalms palm records only.
    virtual void savePalms(const PlayerSaveBlock& record);
    // Restores the player fields (not palms, vehicle or weapon). A record that is not
    // sound for this side (PlayerSaveBlock::isSound) is refused: false, nothing changed.
    virtual bool loadplayer(const PlayerSaveBlock& record);
    // With a vehicle: a weapon it has is replaced by one of the record's type, then the
    // record's energy is restored. Call after the world has been rebuilt.
    virtual void loadWeapon(const PlayerSaveBlock& record);
    // livePalms and every existing palm from its record. Call after createPalms made
    // totalPalms palms. Refuses (false, nothing changed) records that are not sound.
    virtual bool loadPalms(const PlayerSaveBlock& record);

    // Creates `count` palms of this side (at most MAXPALM: more is a program error),
    // each with bSharedDefence = flag, sorted from the highest to the lowest y and
    // appended in that order to the current game's palm list.
    void createPalms(std::int32_t count, std::uint8_t flag);
    // A random standing palm; the first palm when none is found (may be null when the
    // side has none).
    Palm* pickRandomPalm();
    // score += delta, within 0 .. INT32_MAX; masked anew with a fresh key.
    void addMaskedScore(std::int32_t delta);
    // The plain score: value XOR key.
    std::int32_t getScore() const;

    // The side's vehicle, as far as the rest of the game needs it without knowing the
    // vehicle class: whether there is one, its damage factors (1.0 without a vehicle),
    // and a new weapon of `type` with full energy (false without a vehicle).
    virtual bool hasVehicle() const { return pVehicle != nullptr; }
    virtual float vehicleAttackFactor() const;
    virtual float vehicleDefenceFactor() const;
    bool giveWeapon(std::int32_t type);
    // The vehicle's position into `out`; false (out untouched) without a vehicle.
    virtual bool getVehiclePosition(Vector3& out) const;

    Renderable* pIsland = nullptr;                 // the side's island, in the island list; not owned
    Palm* palms[MAXPALM] = {};                     // the side's palms in drawing order; not owned
    Vehicle* pVehicle = nullptr;                   // the side's cannon or plane, in a list; not owned
    std::int32_t side;                             // 0 or 1
    std::int32_t totalPalms = 0;                   // palms created
    std::int32_t livePalms = 0;                    // palms still standing; the palm lowers it when lost
    std::uint32_t maskedScore[kMaskedWords] = {};  // random words, key (32), masked value (65)
    float rating = 0.0f;                           // final rating, 0 to 1
    std::uint8_t bHuman = 0;                       // a person plays the side
    UColor colour = 0xFFFFFFFFu;                   // the side's colour (ARGB)
    std::uint8_t bPointerControl;                  // steers with mouse or touch: 1 for side 0

    // The highest weapon type a saved game may name (the Duel cannon's own weapon).
    static constexpr std::int32_t kLastWeaponType = 6;

private:
    void initMaskedScore();
    void sortPalmsByHeight();
    void savePalmRecords(const PlayerSaveBlock& record);
};
