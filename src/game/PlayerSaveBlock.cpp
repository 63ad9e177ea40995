#include "game/PlayerSaveBlock.h"

#include <cmath>

#include "engine/Format.h"
#include "game/Palm.h"

PalmSaveRecord PlayerSaveBlock::palm(int i) const {
    if (i < 0 || i >= kPalmRecords) return PalmSaveRecord(SaveBytes());
    return PalmSaveRecord(
        bytes.sub(kPalms + static_cast<std::size_t>(i) * PalmSaveRecord::kSize, PalmSaveRecord::kSize));
}

std::u16string PlayerSaveBlock::fault(int expectedSide) const {
    if (!bytes.contains(0, kSize)) return u"the record is cut short";
    if (!validData()) return u"the record is not marked valid";
    const std::int32_t side = bytes.getS32(kSide);
    if (side != expectedSide) return formatString(u"the record is of side %d", side);
    const std::int32_t total = bytes.getS32(kTotalPalms);
    const std::int32_t live = bytes.getS32(kLivePalms);
    if (total < 0 || total > kPalmRecords || live < 0 || live > total)
        return formatString(u"%d of %d palms live", live, total);
    const std::uint32_t key = bytes.getU32(kMaskedScore + 32 * 4);
    const std::uint32_t value = bytes.getU32(kMaskedScore + 65 * 4);
    if (static_cast<std::int32_t>(key ^ value) < 0) return u"the score is negative";
    if (!std::isfinite(bytes.getF32(kRating)) || !std::isfinite(bytes.getF32(kWeaponEnergy)))
        return u"the rating or the weapon energy is not a number";
    for (int i = 0; i < total; ++i)
        if (!Palm::isLoadable(palm(i))) return formatString(u"palm record %d is damaged", i);
    return {};
}
