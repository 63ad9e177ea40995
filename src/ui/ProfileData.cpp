#include "ui/ProfileData.h"

#include <cstring>

#include "engine/Random.h"
#include "ui/RecordBytes.h"

void ProfileData::reset() {
    name.assign(u"");
    // Two draws of the shared generator: the second in the high half, the first in the low.
    const std::uint32_t low = Random::next();
    const std::uint32_t high = Random::next();
    playerId = high << 16 | low;
    invasionGame[0] = 0;
}

void ProfileData::write(RecordBytes& r, std::size_t offset) const {
    r.putBytes(offset, name.bytes, sizeof name.bytes);
    r.putU32(offset + kPlayerIdOffset, playerId);
    r.putBytes(offset + kInvasionOffset, invasionGame.data(), invasionGame.size());
    r.putBytes(offset + kDuelOffset, duelGame.data(), duelGame.size());
    r.putBytes(offset + kDuelVariantOffset, duelVariantGame.data(), duelVariantGame.size());
    r.putBytes(offset + kReservedOffset, reservedGame.data(), reservedGame.size());
    r.putBytes(offset + kDuelVariant2Offset, duelVariant2Game.data(), duelVariant2Game.size());
}

void ProfileData::read(const RecordBytes& r, std::size_t offset) {
    r.getBytes(offset, name.bytes, sizeof name.bytes);
    if (!std::memchr(name.bytes, 0, sizeof name.bytes)) name.bytes[sizeof name.bytes - 1] = 0;
    playerId = r.getU32(offset + kPlayerIdOffset);
    r.getBytes(offset + kInvasionOffset, invasionGame.data(), invasionGame.size());
    r.getBytes(offset + kDuelOffset, duelGame.data(), duelGame.size());
    r.getBytes(offset + kDuelVariantOffset, duelVariantGame.data(), duelVariantGame.size());
    r.getBytes(offset + kReservedOffset, reservedGame.data(), reservedGame.size());
    r.getBytes(offset + kDuelVariant2Offset, duelVariant2Game.data(), duelVariant2Game.size());
}
