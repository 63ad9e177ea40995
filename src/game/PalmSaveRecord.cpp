#include "game/PalmSaveRecord.h"

#include <cmath>

Vector3 PalmSaveRecord::getVector(std::size_t offset) const {
    return Vector3{bytes.getF32(offset), bytes.getF32(offset + 4), bytes.getF32(offset + 8)};
}

void PalmSaveRecord::putVector(std::size_t offset, const Vector3& v) const {
    bytes.putF32(offset, v.x);
    bytes.putF32(offset + 4, v.y);
    bytes.putF32(offset + 8, v.z);
}

bool PalmSaveRecord::isSound() const {
    if (!bytes.contains(0, kSize) || !validData()) return false;
    for (std::size_t offset = kPosition; offset < kSize; offset += 4)
        if (!std::isfinite(bytes.getF32(offset))) return false;
    const float health = bytes.getF32(kHealth);
    const float maxHealth = bytes.getF32(kMaxHealth);
    // The palm's colour divides by its maximum health.
    return maxHealth > 0.0f && health >= 0.0f && health <= maxHealth;
}
