#include "game/WeaponLaser.h"

#include <numbers>

#include "game/FlareBurst.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/LaserBeam.h"
#include "language/StringIds.h"

WeaponLaser::WeaponLaser(std::int32_t side_) : Weapon(side_) {
    configure(3, StringId::WEAPONLASER, 0.15, false, 0.02f, GameController::kBeamList);
}

void WeaponLaser::fire(float x, float y, float z, float angle, float speed) {
    Weapon::fire(x, y, z, angle, speed);
    launch(new LaserBeam(side, x, y, z, angle));
    if (GameFx::detailLevel() >= 1)
        GameFx::addToList(
            GameController::kEffectList,
            new FlareBurst(x, y, z, 10, 25.0f, 50.0f, 0.0f, 2.0f * std::numbers::pi_v<float>, 2.0f, 0xFFFFFFFFu));
}
