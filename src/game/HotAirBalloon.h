#pragma once
// A hot-air balloon that drifts about inside the view, bouncing off its edges (never
// lower than just above the water), its envelope breathing and its stripes turning.
// One hit pops it: a puff of smoke and a deflating sound. The armed kind
// (HotAirBalloonArmed) carries a bomb under its basket and lets it go over its palm, or
// when it is popped.
//
// Parts, drawn in this order: the carried bomb, the lower part (basket), the envelope
// (the balloon itself, a frame of "hotAirBalloon" 0 to 7), the overlay (skins 8 to 15,
// in a random bright colour), the upper part (skin 16). When the turning frames wrap
// around, envelope and overlay exchange colours.
//
// Lives in the game's enemy list. Owns the bomb it carries until it lets it go into the
// enemy-bomb list. The parts are members (not in the tree); the picture is the
// registry's.
#include "engine/Link.h"
#include "game/Enemy.h"
#include "render/Renderable.h"

class Bomb;
class Texture;

class HotAirBalloon : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 100;
    static constexpr float kFloor = 7.0f;  // lowest y it drifts to
    static constexpr int kOverlaySkin = 8, kUpperSkin = 16, kBasketSkin = 18, kArmedBasketSkin = 17;
    static constexpr int kTurnFrames = 8;

    HotAirBalloon();
    ~HotAirBalloon() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // From around the view, drifting toward the defending island.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion, breathing, the drop over the target, the turning frames, the bounces.
    virtual void update(double time, double dt);
    void render() override;
    // Lets the bomb go, puffs and deflates.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    // Lets the carried bomb fall (into the enemy-bomb list), whistling.
    void drop();

    Renderable overlay, lower, upper;  // the parts; not in the tree
    float phase;                       // radians: where the breathing starts
    float speed = 0.0f;                // units per second
    double frameTimer = 0.0;
    double frameInterval = 0.05;  // s per turning frame, from the speed at entry
    Texture* texture = nullptr;   // "hotAirBalloon"
    int frame;                    // 0 to 7
    Bomb* bomb = nullptr;         // carried; owned until dropped
    Link target{this};            // the palm it bombs; not owned

protected:
    void placeParts();

private:
    void turn();
    void bounce();
    bool overTarget() const;
};
