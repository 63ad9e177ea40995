#include "game/Firework.h"

#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/Random.h"
#include "game/FlareBurst.h"
#include "game/GameFx.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Firework::Firework(const Vector3& position_, const Vector3& velocity_, UColor colour_, double fuseLow, double fuseHigh)
    : position(position_),
      velocity(velocity_),
      colour(colour_),
      fuse(fuseLow + (fuseHigh - fuseLow) * (static_cast<double>(Random::next()) / 65536.0)),
      trailInterval(GameFx::detailLevel() >= 1 ? kTrailInterval : kLowDetailTrail) {}

void Firework::update(double, double dt) {
    age += dt;
    if (age >= fuse) burst();
    // The timer restarts from 0: a long frame still leaves one trail burst, not several.
    trailTimer += dt;
    if (trailTimer >= trailInterval) {
        trailTimer = 0.0;
        leaveTrail();
    }
    const auto step = static_cast<float>(dt);
    velocity = velocity + acceleration * step;
    position = position + velocity * step;
}

void Firework::burst() {
    const int sparks = GameFx::detailLevel() >= 1 ? kBurstSparks : kBurstSparks / 2;
    addToParent(new FlareBurst(position.x, position.y, position.z, sparks, 50.0f, 150.0f, kPi / 2.0f, 2.0f * kPi,
                               kBurstSize, colour));
    GameFx::playAt(u"fireworkBang", position);
    pendingDelete = 1;
}

void Firework::leaveTrail() {
    const float size = remapClamped(kTrailStartSize, 0.0f, 0.0f, static_cast<float>(fuse), static_cast<float>(age));
    addToParent(new FlareBurst(position.x, position.y, position.z, kTrailSparks, 25.0f, 50.0f, 0.0f, 2.0f * kPi, size,
                               kTrailColour));
}

// A rocket outside any list has nowhere to put its sparks: they go at once.
void Firework::addToParent(QorBase* effect) {
    if (auto* list = parentObject())
        list->addChild(effect);
    else
        effect->destroy();
}
