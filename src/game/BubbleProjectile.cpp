#include "game/BubbleProjectile.h"

#include <cmath>
#include <numbers>

#include "engine/Random.h"
#include "game/GameFx.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

float squared(float u) { return u * u; }
}  // namespace

BubbleProjectile::BubbleProjectile(std::int32_t side_, float x, float y, float z, float angle, float speed_)
    : GameEntity(side_),
      speed(speed_),
      wobblePhase(Random::fraction() * 2.0f * kPi),
      wobbleFrequency(8.0f + Random::fraction() * 8.0f),
      wobbleAmplitude(squared(Random::fraction()) * kPi / 4.0f) {
    contactDamage = kContactDamage;
    heading = angle;
    rotation.z = angle;
    velocity = Vector3{std::cos(angle) * speed, std::sin(angle) * speed, 0.0f};
    const float size = 0.5f + Random::fraction() * 0.5f;
    scale = Vector3{size, size, 1.0f};
    position = Vector3{x, y, z};
    pSkin = GameFx::projectileSkin(kSkin);
    collisionSensitivity = 0.75f;
    updateXform();
}

void BubbleProjectile::tick(double time, double dt) {
    const float a = heading + wobbleAmplitude * std::sin((wobblePhase + static_cast<float>(time)) * wobbleFrequency);
    velocity = Vector3{std::cos(a) * speed, std::sin(a) * speed, 0.0f};
    rotation.z = a;
    position = position + velocity * static_cast<float>(dt);
    updateXform();
    if (!bVisible && leavesView()) pendingDelete = 1;
}

void BubbleProjectile::destroy(GameEntity*) {
    pendingDelete = 1;
    GameFx::playAt(u"bubbleBurst", position);
}
