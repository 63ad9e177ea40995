#pragma once
// One palm's record inside a player record of a saved game (56 bytes):
//
//   0  u8      valid: 1 when the record holds a palm
//   4  s32     the palm's state (1 standing, 3 burnt)
//   8  3 x f32 position x, y, z
//   20 3 x f32 rotation x, y, z (radians)
//   32 f32     bendOffset     36 f32 currentHeight
//   40 f32     fullHeight     44 f32 burntHeight
//   48 f32     health         52 f32 maximum health
//
// A view over bytes owned elsewhere (see SaveBytes); the palm fills and reads it.
#include <cstddef>
#include <cstdint>

#include "engine/Vector3.h"
#include "game/SaveBytes.h"

class PalmSaveRecord {
public:
    static constexpr std::size_t kSize = 56;
    static constexpr std::size_t kValid = 0;
    static constexpr std::size_t kState = 4;
    static constexpr std::size_t kPosition = 8;
    static constexpr std::size_t kRotation = 20;
    static constexpr std::size_t kBendOffset = 32;
    static constexpr std::size_t kCurrentHeight = 36;
    static constexpr std::size_t kFullHeight = 40;
    static constexpr std::size_t kBurntHeight = 44;
    static constexpr std::size_t kHealth = 48;
    static constexpr std::size_t kMaxHealth = 52;

    explicit PalmSaveRecord(SaveBytes bytes_) : bytes(bytes_) {}

    bool validData() const { return bytes.getU8(kValid) != 0; }
    void setValidData(bool valid) const { bytes.putU8(kValid, valid ? 1 : 0); }
    Vector3 getVector(std::size_t offset) const;
    void putVector(std::size_t offset, const Vector3& v) const;
    // A record that can be loaded: valid, every number finite, maximum health above 0
    // and health within [0, maximum].
    bool isSound() const;

    SaveBytes bytes;
};
