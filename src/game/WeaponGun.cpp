#include "game/WeaponGun.h"

#include <cmath>

#include "engine/Random.h"
#include "game/Bullet.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "language/StringIds.h"

WeaponGun::WeaponGun(std::int32_t side_) : Weapon(side_) {
    configure(1, StringId::WEAPONAUTOGUN, 0.11, true, 0.07f, GameController::kBulletList);
}

void WeaponGun::fire(float x, float y, float z, float angle, float) {
    Weapon::fire(x, y, z, angle, kBulletSpeed);
    const float a = angle + Random::fraction() * kScatter - kScatter / 2.0f;
    auto* bullet = new Bullet(side, x, y, z, std::cos(a) * kBulletSpeed, std::sin(a) * kBulletSpeed, 0.0f);
    bullet->contactDamage *= 0.5f;
    launch(bullet);
    GameFx::playAt(u"bulletFire", Vector3{x, y, z}, 0.0f, 0.25f);
}
