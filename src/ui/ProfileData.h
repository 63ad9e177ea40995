#pragma once
// One player profile: a name, a random player id and the saved-game blocks the game
// controllers write so that a game can be continued. 9424 bytes in the profile file:
//
//   offset 0     256 bytes  name, UTF-8, NUL-terminated; empty marks a free slot
//   offset 256   u32        player id
//   offset 260   4 bytes    padding, zero
//   offset 264   1840       Invasion block
//   offset 2104  1832       Duel block
//   offset 3936  1840       Duel variant block (first variant mode)
//   offset 5776  1816       reserved block
//   offset 7592  1832       Duel variant block (second variant mode)
//
// Every block starts with bValidData (1: the block holds a game that can be
// continued); the rest belongs to the game's save format and is copied as it is.
#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/HIGHSCOREENTRY.h"

class RecordBytes;

class ProfileData {
public:
    static constexpr std::size_t kSize = 9424;
    static constexpr std::size_t kPlayerIdOffset = 256;
    static constexpr std::size_t kInvasionOffset = 264;
    static constexpr std::size_t kDuelOffset = 2104;
    static constexpr std::size_t kDuelVariantOffset = 3936;
    static constexpr std::size_t kReservedOffset = 5776;
    static constexpr std::size_t kDuelVariant2Offset = 7592;

    // An empty name, id 0, no valid saved game.
    ProfileData() = default;

    // Empty name, a new player id, no Invasion game to continue.
    void reset();
    bool isFree() const { return name.bytes[0] == 0; }

    void write(RecordBytes& record, std::size_t offset) const;
    // A name without a NUL in its field gets one in its last byte.
    void read(const RecordBytes& record, std::size_t offset);

    FixedString256 name;
    std::uint32_t playerId = 0;
    std::array<std::uint8_t, 1840> invasionGame{};
    std::array<std::uint8_t, 1832> duelGame{};
    std::array<std::uint8_t, 1840> duelVariantGame{};
    std::array<std::uint8_t, 1816> reservedGame{};
    std::array<std::uint8_t, 1832> duelVariant2Game{};
};
