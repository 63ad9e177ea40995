#include "game/LightningBolt.h"

#include <algorithm>
#include <cmath>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "game/BeamStrip.h"
#include "game/GameFx.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"

namespace {
float virtualWidth() { return static_cast<float>(kVirtualScreenWidth); }
}  // namespace

LightningBolt::LightningBolt(std::int32_t side_, float x, float y, float z, float heading_) : GameEntity(side_) {
    contactDamage = kContactDamage;
    heading = heading_;
    if (GameFx::bloatedProjectiles()) scale.y = 2.0f;
    boltQuad = BeamStrip::makeQuad(u"lightning");
    pSkin = boltQuad;
    bOwnsSkin = 1;
    position = Vector3{x, y, z};
    rotation = Vector3{0.0f, 0.0f, heading};
    BeamStrip::setLength(*this, *boltQuad, length, kReach);
    fireSound = new SoundChannel(GameFx::findSound(u"lightningFire"));
}

LightningBolt::~LightningBolt() {
    // A started channel would play on (and this one loops): stop it first.
    QorAudio::library().channelStop(fireSound->channel);
    fireSound->destroy();
}

void LightningBolt::tick(double, double dt) {
    rotation.z = heading;
    updateXform();
    // Only a held bolt strikes: the weapon resets the fade before this update.
    if (fade == 0.0) {
        hitTimer += dt;
        if (hitTimer >= hitInterval) {
            hitTimer = 0.0;
            strike();
        }
    }
    BeamStrip::crawl(*boltQuad);
    color = BeamStrip::fadeColour(fade);
    hum();
    fade = std::min(fade + kFadeRate * dt, 1.0);
    if (fade >= 1.0) pendingDelete = 1;
}

void LightningBolt::strike() {
    float bestDistanceSquared = kReach * kReach;
    GameEntity* target = BeamStrip::findTarget(*this, bestDistanceSquared);
    if (!target) {
        BeamStrip::setLength(*this, *boltQuad, length, kReach);
        return;
    }
    velocity = Vector3{std::cos(heading) * kPushSpeed, std::sin(heading) * kPushSpeed, 0.0f};
    dealDamage(target, contactDamage);
    BeamStrip::setLength(*this, *boltQuad, length, std::sqrt(bestDistanceSquared));
    GameFx::playAt(u"lightningHit", target->position);
}

void LightningBolt::hum() {
    const float halfWidth = virtualWidth() / 2.0f;
    fireSound->setPan(remapClamped(-1.0f, 1.0f, -halfWidth, halfWidth, position.x), 0.0);
    if (QorAudio::library().channelIsActive(fireSound->channel) != AudioActive::kPlaying) fireSound->play();
}

// The glow flickers from the bolt's own sequence: drawing must not draw from the shared
// generator, or the world would depend on how many frames were drawn (a tip panel draws
// the game beneath it without ticking it).
float LightningBolt::nextFlicker() {
    flickerState = flickerState * 214013u + 2531011u;
    return static_cast<float>(flickerState >> 16 & 0xFFFFu) / 65536.0f;
}

void LightningBolt::render() {
    GameEntity::render();
    const float glowScale = 1.0f + nextFlicker();
    BeamStrip::drawGlow(glow, position, glowScale, glowScale, color);
    const float width = boltQuad->width;
    const Vector3 end{position.x + std::cos(heading) * width, position.y + std::sin(heading) * width, position.z};
    BeamStrip::drawGlow(glow, end, glowScale, glowScale, color);
}
