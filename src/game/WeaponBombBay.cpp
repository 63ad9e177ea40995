#include "game/WeaponBombBay.h"

#include <cmath>

#include "game/Bomb.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "language/StringIds.h"

WeaponBombBay::WeaponBombBay(std::int32_t side_) : Weapon(side_) {
    configure(6, StringId::WEAPONBOMB, 0.05, false, 0.2f, GameController::kBombList);
}

void WeaponBombBay::fire(float x, float y, float z, float angle, float speed) {
    Weapon::fire(x, y, z, angle, speed);
    launch(new Bomb(side, x, y, z, std::cos(angle) * speed, std::sin(angle) * speed, 0.0f));
    GameFx::playAt(u"bombWhistle", Vector3{x, y, z});
}
