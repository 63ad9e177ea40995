#pragma once
// A laser shot: a strip drawn from the muzzle along the heading that strikes, in its
// first frame only, the nearest enemy, enemy bomb or bonus balloon ahead of it within
// 1024 units, ending there, and then fades out over a quarter of a second. It does not
// move; on a hit its velocity is set along the beam (targets that react to the velocity
// of what hit them are pushed by it).
//
// Lives in the beam list of its weapon, which owns it; owns its quad.
#include <cstdint>

#include "game/GameEntity.h"

class Quad;

class LaserBeam : public GameEntity {
public:
    static constexpr float kContactDamage = 0.4f;
    static constexpr float kReach = 1024.0f;      // units
    static constexpr float kPushSpeed = 1024.0f;  // units per second along the beam, on a hit
    static constexpr double kFadeRate = 4.0;      // per second: gone after 0.25 s
    static constexpr float kGlowScale = 4.0f;

    // A beam of `side` from (x, y, z) along `heading` (radians).
    LaserBeam(std::int32_t side, float x, float y, float z, float heading);

    // First frame: the strike. Every frame: the crawl, the colour, the fade.
    void tick(double time, double dt) override;
    // The strip, then a flare at its far end in the beam's colour.
    void render() override;

    Quad* pQuad = nullptr;  // the strip, owned as the skin
    float length = -1.0f;   // units; 1024 from construction until a strike shortens it
    std::uint8_t firstFrame = 1;
    double fade = 0.0;  // 0 opaque .. 1 gone

private:
    void strike();
    Renderable glow;  // the flare drawn at the far end; not in the tree
};
