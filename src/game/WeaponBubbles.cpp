#include "game/WeaponBubbles.h"

#include "game/BubbleProjectile.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "language/StringIds.h"

WeaponBubbles::WeaponBubbles(std::int32_t side_) : Weapon(side_) {
    configure(2, StringId::WEAPONSWARM, 0.08, true, 1.0f / 150.0f, GameController::kPlayerShotList);
}

void WeaponBubbles::fire(float x, float y, float z, float angle, float speed) {
    Weapon::fire(x, y, z, angle, speed);
    for (int i = 0; i < kBubblesPerShot; ++i) launch(new BubbleProjectile(side, x, y, z, angle, kBubbleSpeed));
    GameFx::playAt(u"bubbles", Vector3{x, y, z});
}
