#include "game/Weapon.h"

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponBubbles.h"
#include "game/WeaponCannon.h"
#include "game/WeaponGun.h"
#include "game/WeaponLaser.h"
#include "game/WeaponLightning.h"
#include "game/WeaponMissile.h"
#include "language/Language.h"
#include "render/Context.h"

namespace {
constexpr float kGunCost = 1.0f / 120.0f;
}  // namespace

Weapon::Weapon(std::int32_t side_) : side(side_) {}

void Weapon::configure(std::int32_t type_, int nameId, double interval_, bool automatic, float cost_, int layerIndex) {
    type = type_;
    name = qor->language().getString(nameId);
    interval = interval_;
    bAutomatic = automatic ? 1 : 0;
    cost = cost_;
    const GameController* game = GameFx::currentGame();
    layer = game ? game->layer(layerIndex) : nullptr;
}

bool Weapon::isKnownType(std::int32_t t) { return t >= 0 && t < kTypeCount; }

// The weapons made by number are the Invasion's: their shots go to the player-shot list,
// and the basic cannon ball (or the autocannon standing in for it) is free.
Weapon* Weapon::createFromType(std::int32_t t, std::int32_t s) {
    const GameController* game = GameFx::currentGame();
    Weapon* w = nullptr;
    switch (t) {
        case 0:
            w = game && game->bAutocannons ? static_cast<Weapon*>(new WeaponGun(s)) : new WeaponCannon(s);
            w->cost = 0.0f;
            break;
        case 1:
            w = new WeaponGun(s);
            w->cost = kGunCost;
            break;
        case 2:
            return new WeaponBubbles(s);
        case 3:
            return new WeaponLaser(s);
        case 4:
            return new WeaponLightning(s);
        case 5:
            return new WeaponMissile(s);
        default:
            QOR_FATAL("Weapon::createFromType", u"Unknown weapon.");
    }
    w->type = t;
    w->layer = game ? game->layer(GameController::kPlayerShotList) : nullptr;
    return w;
}

Vehicle* Weapon::vehicle() const {
    const GameController* game = GameFx::currentGame();
    const PlayerData* own = game ? game->getPlayerData(side) : nullptr;
    return own ? own->pVehicle.get() : nullptr;
}

void Weapon::launch(QorBase* projectile) {
    if (layer)
        layer->addChild(projectile);
    else
        projectile->destroy();
}

double Weapon::sceneTime() { return qor->pCurrentContext ? qor->pCurrentContext->localTime : 0.0; }

bool Weapon::canFire(double time, double) {
    Vehicle* v = vehicle();
    if (!v || !(bAutomatic ? v->bFireHeld : v->bFirePressed)) return false;
    if (nextReadyTime > time) return false;
    if (cost > v->energy) {
        bOutOfEnergy = 1;
        return false;
    }
    return true;
}

void Weapon::fire(float, float, float, float, float) {
    GameController* game = GameFx::currentGame();
    Vehicle* v = vehicle();
    if (v && cost <= v->energy && !(game && game->bNoBlaster)) v->energy -= cost;
    nextReadyTime = sceneTime() + interval;
    // The slow motion runs on engine time, so that it ends even while the world crawls.
    if (game && game->bMatrixFight && qor->pTimeKeeper) game->slowMotionEnd = qor->timeKeeper().now() + kBulletTime;
}
