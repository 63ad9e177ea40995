#pragma once
// The lightning: a continuous beam. A press creates a bolt (the first frame is free);
// while fire stays held the weapon steers the bolt along the barrel every frame and pays
// `cost` per second of firing. When the energy runs out the bolt is let go, the weapon
// rests for `interval` (0.5 s) and reports bOutOfEnergy. A released key lets the bolt go;
// the next press makes a new one. A bolt let go fades out by itself.
//
// No bookkeeping of the base and no bullet time: the cost is paid as the beam burns.
#include <cstdint>

#include "engine/TypedLink.h"
#include "game/Weapon.h"

class LightningBolt;

class WeaponLightning : public Weapon {
public:
    explicit WeaponLightning(std::int32_t side);

    // Ready while fire is held and the rest after running dry is over; otherwise the bolt
    // is let go.
    bool canFire(double time, double dt) override;
    // Makes the bolt, or steers the one it holds and pays for this frame.
    void fire(float x, float y, float z, float angle, float speed) override;

    // The bolt being steered, or null; cleared by itself when the bolt dies.
    LightningBolt* currentBolt() const;

    TypedLink<LightningBolt> bolt;  // weak: the bolt belongs to the beam list
};
