#pragma once
// The heavy bomber: it comes in from a side and crosses the view at a steady height,
// dropping a bomb every so often, its engine droning. It takes many hits: each slows it
// and lowers its engine's pitch (to half at no health), and once damaged it trails
// smoke from its tail that darkens as it weakens. It flies on over the water.
//
// Lives in the game's enemy list. Owns its looping engine channel ("bomberEngine"),
// stopped when the bomber is deleted; the propeller is a member (not in the tree).
#include "game/Enemy.h"
#include "render/Renderable.h"

class SoundChannel;
class Texture;

class Bomber : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 1000;
    static constexpr float kHealth = 4.0f;
    static constexpr double kFirstDrop = 1.5;  // s before the first bomb
    static constexpr float kTailX = -48.0f;    // the tail, in the bomber's own frame

    Bomber();
    ~Bomber() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // From a side, flying across; turned round when it flies left.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion, propeller, bombs, tail smoke, engine sound.
    virtual void update(double time, double dt);
    void render() override;
    // Slower and deeper by the health lost.
    void onHit(GameEntity* source, float taken) override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    double propellerTimer = 0.0;
    double propellerInterval = 0.025;  // s per propeller frame
    double dropTimer = 0.0;
    double dropInterval = kFirstDrop;  // s; 0.5 to 1.5 after each drop
    double smokeTimer = 0.0;
    double smokeInterval;        // s: 0.015 with detail, else 0.045
    Texture* texture = nullptr;  // "bomber"
    int propellerFrame = 0;      // 0 or 1
    float cruiseSpeed = 0.0f;    // units per second along x, signed: its undamaged speed
    Renderable propeller;        // not in the tree
    SoundChannel* engineSound;   // owned

private:
    void spinPropeller(double dt);
    void dropBomb(double dt);
    void trailSmoke(double dt);
    void drone();
};
