#include "game/WeaponMissile.h"

#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Missile.h"
#include "language/StringIds.h"

WeaponMissile::WeaponMissile(std::int32_t side_) : Weapon(side_) {
    configure(5, StringId::WEAPONROCKET, 0.2, false, 0.025f, GameController::kPlayerShotList);
}

void WeaponMissile::fire(float x, float y, float z, float angle, float speed) {
    Weapon::fire(x, y, z, angle, speed);
    launch(new Missile(side, x, y, z, angle, speed));
    GameFx::playAt(u"missileLaunch", Vector3{x, y, z});
}
