#include "net/NetRole.h"

#include "engine/QorBase.h"

void NetRole::registerObject(QorBase* object) {
    object->objectUID = nextObjectUID++;
    objects[object->objectUID] = object;
}

void NetRole::unregisterObject(QorBase* object) {
    objects.erase(object->objectUID);
    object->objectUID = -1;
}

QorBase* NetRole::findObject(std::int32_t id) const {
    const auto it = objects.find(id);
    return it == objects.end() ? nullptr : it->second;
}

void NetRole::seed(std::uint32_t s) {
    mt[0] = s;
    for (std::uint32_t i = 1; i < mt.size(); ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i;
    mti = static_cast<int>(mt.size());
}

std::uint32_t NetRole::random() {
    constexpr int n = 624, m = 397;
    constexpr std::uint32_t upper = 0x80000000u, lower = 0x7FFFFFFFu, matrix = 0x9908B0DFu;
    if (mti >= n) {
        if (mti == n + 1) seed(5489u);
        for (int k = 0; k < n; ++k) {
            const std::uint32_t y = (mt[k] & upper) | (mt[(k + 1) % n] & lower);
            mt[k] = mt[(k + m) % n] ^ (y >> 1) ^ ((y & 1u) ? matrix : 0u);
        }
        mti = 0;
    }
    std::uint32_t y = mt[mti++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}
