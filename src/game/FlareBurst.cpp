#include "game/FlareBurst.h"

#include "render/Texture.h"

FlareBurst::FlareBurst(float x, float y, float z, int count, float speedMin, float speedMax, float direction, float arc,
                       float size_, UColor colour)
    : SpriteEffect(u"flare", x, y, z, count, speedMin, speedMax, direction, arc, size_), size(size_) {
    lifeDecay = kDecayRate;
    for (int i = 0; i < particleCount; ++i) {
        particles[i].color = colour;
        particles[i].initialLife = particles[i].life;
    }
}

void FlareBurst::update(double, double dt) {
    const float step = static_cast<float>(dt);
    Skin* skin = frames->skins.empty() ? nullptr : frames->skins[0];
    for (int i = 0; i < particleCount; ++i) {
        EffectParticle& p = particles[i];
        if (p.life <= 0.0f) continue;
        // The fall this frame starts with the speed the spark had before it.
        const float previousVy = p.velocity.y;
        p.velocity.y -= kGravity * step;
        p.position.x += p.velocity.x * step;
        p.position.y += previousVy * step;
        const float s = kMinimumSize + (size - kMinimumSize) * p.life / (maxSpeed + 1.0f);
        p.scale = Vector3{s, s, kDepthScale};
        if (skin) p.pSkin = skin;
        p.updateXform();
        p.life -= lifeDecay * step;
    }
    if (!anyAlive()) pendingDelete = 1;
}
