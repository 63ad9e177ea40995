#pragma once
// One side's record inside a saved game (860 bytes), written by PlayerData::saveplayer:
//
//   0   u8        valid (1 once written)
//   4   s32       side          8  s32 totalPalms      12 s32 livePalms
//   16  66 x u32  maskedScore as held in memory (word 32 the key, word 65 the value)
//   280 f32       rating        284 u8 bHuman          288 u32 colour (ARGB)
//   292 f32       weapon energy of the side's vehicle (kept when there was no vehicle)
//   296 s32       weapon type of the vehicle's weapon (kept when there was none)
//   300 10 x 56   palm records (PalmSaveRecord), record i at 300 + 56 i
//
// A view over bytes owned elsewhere (see SaveBytes).
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/PalmSaveRecord.h"
#include "game/SaveBytes.h"

class PlayerSaveBlock {
public:
    static constexpr std::size_t kSize = 860;
    static constexpr std::size_t kValid = 0;
    static constexpr std::size_t kSide = 4;
    static constexpr std::size_t kTotalPalms = 8;
    static constexpr std::size_t kLivePalms = 12;
    static constexpr std::size_t kMaskedScore = 16;
    static constexpr std::size_t kRating = 280;
    static constexpr std::size_t kHuman = 284;
    static constexpr std::size_t kColour = 288;
    static constexpr std::size_t kWeaponEnergy = 292;
    static constexpr std::size_t kWeaponType = 296;
    static constexpr std::size_t kPalms = 300;
    static constexpr int kPalmRecords = 10;

    explicit PlayerSaveBlock(SaveBytes bytes_) : bytes(bytes_) {}

    bool validData() const { return bytes.getU8(kValid) != 0; }
    PalmSaveRecord palm(int i) const;
    // A record that PlayerData::loadplayer may take for side `expectedSide`: valid, of
    // that side, palm counts within 0 <= livePalms <= totalPalms <= 10, a finite rating
    // and weapon energy, a score that is not negative, and every palm record below
    // totalPalms one that the palm can load (Palm::isLoadable).
    bool isSound(int expectedSide) const { return fault(expectedSide).empty(); }
    // Why the record is not sound for that side, in a few words for the log; empty when
    // it is.
    std::u16string fault(int expectedSide) const;

    SaveBytes bytes;
};
