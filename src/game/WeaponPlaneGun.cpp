#include "game/WeaponPlaneGun.h"

#include <cmath>

#include "game/Bullet.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "language/StringIds.h"

WeaponPlaneGun::WeaponPlaneGun(std::int32_t side_) : Weapon(side_) {
    configure(6, StringId::WEAPONBULLET, 0.05, false, 0.15f, GameController::kBulletList);
}

void WeaponPlaneGun::fire(float x, float y, float z, float angle, float) {
    Weapon::fire(x, y, z, angle, kBulletSpeed);
    launch(new Bullet(side, x, y, z, std::cos(angle) * kBulletSpeed, std::sin(angle) * kBulletSpeed, 0.0f));
    GameFx::playAt(u"bulletFire", Vector3{x, y, z}, 0.0f, 0.5f);
}
