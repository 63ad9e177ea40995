#include "game/WeaponCannon.h"

#include <cmath>

#include "game/CannonShell.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/SpriteEffect.h"
#include "language/StringIds.h"

WeaponCannon::WeaponCannon(std::int32_t side_) : Weapon(side_) {
    configure(6, StringId::WEAPONCANNONBALL, 0.05, false, 0.125f, GameController::kCannonShellList);
}

void WeaponCannon::fire(float x, float y, float z, float angle, float speed) {
    Weapon::fire(x, y, z, angle, speed);
    launch(new CannonShell(side, x, y, z, std::cos(angle) * speed, std::sin(angle) * speed, 0.0f));
    if (GameFx::detailLevel() >= 1) {
        auto* flash = new SpriteEffect(x, y, z, 1, kFlashSpeed, kFlashSpeed, angle, 0.0f, kFlashScale);
        flash->lifeDecay = kFlashLifeDecay;
        GameFx::addToList(GameController::kEffectList, flash);
    }
    GameFx::playAt(u"cannonFire", Vector3{x, y, z});
}
