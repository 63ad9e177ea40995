#include "game/HotAirBalloonArmed.h"

#include <numbers>

#include "engine/ClassInfo.h"
#include "game/Bomb.h"
#include "game/EnemyFx.h"
#include "game/Palm.h"
#include "game/makeBomb.h"

QOR_DEFINE_CLASS(HotAirBalloonArmed, HotAirBalloon, nullptr)

HotAirBalloonArmed::HotAirBalloonArmed() { scoreValue = kScoreValue; }

ClassInfo* HotAirBalloonArmed::getClass() const { return &classInfo; }

void HotAirBalloonArmed::enter() {
    HotAirBalloon::enter();
    bomb = makeBomb(side, position.x, position.y, position.z, 0.0f, 0.0f, 0.0f);
    bomb->rotation.z = 3 * std::numbers::pi_v<float> / 2;  // hanging nose down
    lower.pSkin = EnemyFx::skin(*texture, kArmedBasketSkin);
    target.set(pickTarget());
    placeParts();
}
