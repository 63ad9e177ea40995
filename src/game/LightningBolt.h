#pragma once
// The lightning weapon's beam: a flickering strip from the muzzle along the heading to
// the nearest enemy, enemy bomb or bonus balloon ahead of it (at most 1024 units), which
// it strikes at most 20 times a second while its weapon holds it.
//
// The weapon creates the bolt and, every frame it steers it, sets its heading and
// position, updates its transform and puts `fade` back to 0 (the weapon's "age" of the
// bolt). Let go, the bolt strikes no more, fades out and is gone after 0.25 s.
//
// Lives in the beam list of its weapon, which owns it. Owns its quad and its looping
// "lightningFire" channel, which stops when the bolt is deleted.
#include <cstdint>

#include "game/GameEntity.h"

class Quad;
class SoundChannel;

class LightningBolt : public GameEntity {
public:
    static constexpr float kContactDamage = 0.04f;  // the damage of one strike
    static constexpr float kReach = 1024.0f;        // units
    static constexpr float kPushSpeed = 384.0f;     // units per second along the bolt, on a strike
    static constexpr double kHitInterval = 0.05;    // s between strikes
    static constexpr double kFadeRate = 4.0;        // per second once let go

    // A bolt of `side` from (x, y, z) along `heading` (radians).
    LightningBolt(std::int32_t side, float x, float y, float z, float heading);
    ~LightningBolt() override;

    // Turn, strike while held, flicker, colour, hum, fade (see the header comment).
    void tick(double time, double dt) override;
    // The strip, then a glow at each of its ends, scaled by a flicker in [1, 2) of its own.
    void render() override;

    Quad* boltQuad = nullptr;           // the strip, owned as the skin
    double fade = 0.0;                  // 0 while held .. 1 gone
    double hitTimer = 0.0;              // s since the last strike
    double hitInterval = kHitInterval;  // s
    SoundChannel* fireSound = nullptr;  // owned; the hum while the bolt lives
    float length = -1.0f;               // units; 1024 from construction
    std::uint32_t flickerState = 1;     // the glow's own random sequence, drawn from when drawn

private:
    float nextFlicker();
    void strike();
    void hum();
    Renderable glow;  // drawn at both ends; not in the tree
};
