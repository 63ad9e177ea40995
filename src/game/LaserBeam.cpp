#include "game/LaserBeam.h"

#include <algorithm>
#include <cmath>

#include "game/BeamStrip.h"
#include "game/GameFx.h"
#include "render/Quad.h"

LaserBeam::LaserBeam(std::int32_t side_, float x, float y, float z, float heading_) : GameEntity(side_) {
    contactDamage = kContactDamage;
    heading = heading_;
    rotation.z = heading;
    position = Vector3{x, y, z};
    if (GameFx::bloatedProjectiles()) scale.y = 2.0f;
    pQuad = BeamStrip::makeQuad(u"laser");
    pSkin = pQuad;
    bOwnsSkin = 1;
    BeamStrip::setLength(*this, *pQuad, length, kReach);
}

void LaserBeam::tick(double, double dt) {
    if (firstFrame) {
        firstFrame = 0;
        strike();
    }
    BeamStrip::crawl(*pQuad);
    color = BeamStrip::fadeColour(fade);
    fade = std::min(fade + kFadeRate * dt, 1.0);
    if (fade >= 1.0) pendingDelete = 1;
}

void LaserBeam::strike() {
    float bestDistanceSquared = kReach * kReach;
    GameEntity* target = BeamStrip::findTarget(*this, bestDistanceSquared);
    if (!target) {
        GameFx::playAt(u"laserFire", position);
        return;
    }
    velocity = Vector3{std::cos(heading) * kPushSpeed, std::sin(heading) * kPushSpeed, 0.0f};
    dealDamage(target, contactDamage);
    BeamStrip::setLength(*this, *pQuad, length, std::sqrt(bestDistanceSquared));
    GameFx::playAt(u"laserHit", position);
}

void LaserBeam::render() {
    GameEntity::render();
    const Vector3 end{position.x + std::cos(heading) * length, position.y + std::sin(heading) * length, position.z};
    BeamStrip::drawGlow(glow, end, kGlowScale, kGlowScale, color);
}
