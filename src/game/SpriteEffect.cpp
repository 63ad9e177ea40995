#include "game/SpriteEffect.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "render/Texture.h"

namespace {
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

Texture* findFrames(const char16_t* name) { return static_cast<Texture*>(qor->resources().find(true, name)); }
}  // namespace

SpriteEffect::SpriteEffect(float x, float y, float z, int count, float speedMin, float speedMax, float direction,
                           float arc, float scale)
    : SpriteEffect(u"explosion", x, y, z, count, speedMin, speedMax, direction, arc, scale) {}

SpriteEffect::SpriteEffect(const char16_t* frameTexture, float x, float y, float z, int count, float speedMin,
                           float speedMax, float direction, float arc, float scale)
    : particleCount(std::max(count, 0)), maxSpeed(speedMax), frames(findFrames(frameTexture)) {
    particles = std::make_unique<EffectParticle[]>(static_cast<std::size_t>(particleCount));
    for (int i = 0; i < particleCount; ++i) {
        EffectParticle& p = particles[i];
        // The order of the draws is part of the effect: arc offset, roll, speed.
        const float offset = Random::fraction() * arc - arc / 2.0f;
        const float angle = direction + offset;
        p.scale.x = p.scale.y = scale;
        p.bSkipVisibility = 1;
        p.position = Vector3{x, y, z};
        p.rotation.z = Random::fraction() * kTwoPi;
        p.updateXform();
        p.life = Random::fraction() * (speedMax - speedMin) + speedMin;
        p.velocity = {std::cos(angle) * p.life, std::sin(angle) * p.life};
        // Particles far from the arc's centre live shorter (their speed stays).
        p.life *= EffectParticle::arcLifeFactor(offset, arc);
    }
}

SpriteEffect* SpriteEffect::createSmoke(float x, float y, float z, int count, float speedMin, float speedMax,
                                        float direction, float arc, float scale, UColor colour) {
    auto* effect = new SpriteEffect(u"smoke", x, y, z, count, speedMin, speedMax, direction, arc, scale);
    for (int i = 0; i < effect->particleCount; ++i) effect->particles[i].color = colour;
    return effect;
}

bool SpriteEffect::anyAlive() const {
    for (int i = 0; i < particleCount; ++i)
        if (particles[i].life > 0.0f) return true;
    return false;
}

void SpriteEffect::update(double, double dt) {
    if (particleCount < 1) {
        pendingDelete = 1;
        return;
    }
    // A particle that dies in this update keeps the effect for one more update.
    const bool alive = anyAlive();
    const float step = static_cast<float>(dt);
    const int n = static_cast<int>(frames->skins.size());
    for (int i = 0; i < particleCount; ++i) {
        EffectParticle& p = particles[i];
        if (p.life <= 0.0f) continue;
        p.position.x += p.velocity.x * step;
        p.position.y += p.velocity.y * step;
        const int frame =
            EffectParticle::frameIndex(std::trunc(static_cast<float>(n) * (maxSpeed - p.life) / (maxSpeed + 1.0f)), n);
        if (frame >= 0) p.pSkin = frames->skins[static_cast<std::size_t>(frame)];
        p.updateXform();
        p.life -= lifeDecay * step;
    }
    if (!alive) pendingDelete = 1;
}

void SpriteEffect::render() {
    for (int i = 0; i < particleCount; ++i)
        if (particles[i].life > 0.0f) particles[i].render();
}
