#include "game/Splash.h"

#include <algorithm>
#include <cmath>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "render/Texture.h"

namespace {
Texture* findFrames(const char16_t* name) { return static_cast<Texture*>(qor->resources().find(true, name)); }
}  // namespace

Splash::Splash(float x, float y, float z, int count, float speedMin, float speedMax, float direction, float arc,
               float scale)
    : particleCount(std::max(count, 0)),
      origin{x, y, z},
      dropletFrames(findFrames(u"splash")),
      ringFrames(findFrames(u"circularSplash")) {
    particles = std::make_unique<EffectParticle[]>(static_cast<std::size_t>(particleCount));
    for (int i = 0; i < particleCount; ++i) {
        EffectParticle& p = particles[i];
        // Two draws per droplet, in this order: arc offset, then speed.
        const float offset = Random::fraction() * arc - arc / 2.0f;
        const float angle = direction + offset;
        p.scale.x = p.scale.y = scale;
        p.bSkipVisibility = 1;
        p.position = Vector3{x, y - kDropletDrop, z};
        // Mirrored about the direction, so that each droplet leans along its flight.
        p.rotation.z = direction + 2.0f * (direction - angle);
        p.updateXform();
        p.life = Random::fraction() * (speedMax - speedMin) + speedMin;
        p.velocity = {std::cos(angle) * p.life, std::sin(angle) * p.life};
        p.life *= EffectParticle::arcLifeFactor(offset, arc);
    }
    ring.scale.x = ring.scale.y = scale;
    ring.position = origin;
    ring.updateXform();
}

bool Splash::anyAlive() const {
    for (int i = 0; i < particleCount; ++i)
        if (particles[i].life > 0.0f) return true;
    return false;
}

void Splash::update(double, double dt) {
    updateRing(dt);
    if (particleCount < 1) {
        pendingDelete = 1;
        return;
    }
    // A droplet that dies in this update keeps the splash for one more update.
    const bool alive = anyAlive();
    const float step = static_cast<float>(dt);
    const int n = static_cast<int>(dropletFrames->skins.size());
    for (int i = 0; i < particleCount; ++i)
        if (particles[i].life > 0.0f) updateDroplet(particles[i], step, n);
    if (!alive) pendingDelete = 1;
}

void Splash::updateRing(double dt) {
    ringAge += dt;
    if (ringAge >= kRingTime) return;
    const int n = static_cast<int>(ringFrames->skins.size());
    const int frame = EffectParticle::clampedFrame(static_cast<float>(std::trunc(ringAge * n)), n);
    if (frame < 0) return;
    Skin* skin = ringFrames->skins[static_cast<std::size_t>(frame)];
    if (skin == ring.pSkin) return;
    ring.pSkin = skin;
    ring.updateXform();
}

void Splash::updateDroplet(EffectParticle& p, float step, int frameCount) {
    // Rising droplets and those still above the water move; a droplet that has fallen
    // back to the splash's height stays where it is.
    if (p.velocity.y > 0.0f || p.position.y > origin.y) {
        p.position.x += p.velocity.x * step;
        p.position.y += p.velocity.y * step;
    }
    p.velocity.y -= kGravity * step;
    const float count = static_cast<float>(frameCount);
    // A droplet launched faster than the frames' span holds the first frame until its
    // life has come down into it.
    const int frame = EffectParticle::clampedFrame(
        std::trunc((kFrameLifeSpan - p.life) * count / (kFrameLifeSpan + 1.0f)), frameCount);
    if (frame >= 0) p.pSkin = dropletFrames->skins[static_cast<std::size_t>(frame)];
    p.updateXform();
    p.life -= kLifeDecay * step;
}

void Splash::render() {
    if (ringAge < kRingTime) ring.render();
    for (int i = 0; i < particleCount; ++i)
        if (particles[i].life > 0.0f) particles[i].render();
}
