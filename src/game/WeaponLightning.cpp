#include "game/WeaponLightning.h"

#include "engine/Qor.h"
#include "game/GameController.h"
#include "game/LightningBolt.h"
#include "game/Vehicle.h"
#include "language/StringIds.h"
#include "render/Context.h"

WeaponLightning::WeaponLightning(std::int32_t side_) : Weapon(side_) {
    configure(4, StringId::WEAPONLIGHTNING, 0.5, true, 0.1f, GameController::kBeamList);
}

LightningBolt* WeaponLightning::currentBolt() const { return bolt.get(); }

bool WeaponLightning::canFire(double time, double) {
    const Vehicle* v = vehicle();
    if (nextReadyTime > time || !v || !v->bFireHeld) {
        bolt.set(nullptr);
        return false;
    }
    return true;
}

void WeaponLightning::fire(float x, float y, float z, float angle, float) {
    Vehicle* v = vehicle();
    if (!v || !v->bFireHeld) return;
    LightningBolt* b = currentBolt();
    if (!b) {
        b = new LightningBolt(side, x, y, z, angle);
        launch(b);
        if (layer) bolt.set(b);
        return;
    }
    b->heading = v->heading;
    b->position = Vector3{x, y, z};
    b->updateXform();
    b->fade = 0.0;
    const double frameTime = qor->pCurrentContext ? qor->pCurrentContext->dt : 0.0;
    if (!v->trySpendEnergy(cost * static_cast<float>(frameTime))) {
        bolt.set(nullptr);
        nextReadyTime = sceneTime() + interval;
        bOutOfEnergy = 1;
    }
}
