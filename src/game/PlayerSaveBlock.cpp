#include "game/PlayerSaveBlock.h"

#include <cmath>

#include "game/Palm.h"

PalmSaveRecord PlayerSaveBlock::palm(int i) const {
    if (i < 0 || i >= kPalmRecords) return PalmSaveRecord(SaveBytes());
    return PalmSaveRecord(
        bytes.sub(kPalms + static_cast<std::size_t>(i) * PalmSaveRecord::kSize, PalmSaveRecord::kSize));
}

bool PlayerSaveBlock::isSound(int expectedSide) const {
    if (!bytes.contains(0, kSize) || !validData()) return false;
    const std::int32_t total = bytes.getS32(kTotalPalms);
    const std::int32_t live = bytes.getS32(kLivePalms);
    if (bytes.getS32(kSide) != expectedSide || total < 0 || total > kPalmRecords || live < 0 || live > total)
        return false;
    const std::uint32_t key = bytes.getU32(kMaskedScore + 32 * 4);
    const std::uint32_t value = bytes.getU32(kMaskedScore + 65 * 4);
    if (static_cast<std::int32_t>(key ^ value) < 0) return false;
    if (!std::isfinite(bytes.getF32(kRating)) || !std::isfinite(bytes.getF32(kWeaponEnergy))) return false;
    for (int i = 0; i < total; ++i)
        if (!Palm::isLoadable(palm(i))) return false;
    return true;
}
