#pragma once
// The ballistic missile: it comes in from a side (or from around the view) and flies
// one long, flat arc under a weak gravity that ends on the middle of a palm of the
// defending side, its speed growing with the wave's level, trailing white smoke and a
// flickering flame. It explodes when shot, sinks in the water, and once it has left the
// view sideways it is gone.
//
// Its start lies at least 16 units beside its palm, on the side from which its flight
// toward the palm takes a positive time. Lives in the game's enemy list; the flame is a
// member (not in the tree); the "ballistic" picture (missile, flame frames 1 to 8) is
// the registry's.
#include "engine/Link.h"
#include "game/Enemy.h"
#include "render/Renderable.h"

class Texture;

class Ballistic : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 750;
    static constexpr float kHealth = 0.6f;
    static constexpr float kGravity = -4.0f;      // units per second squared
    static constexpr float kBaseSpeed = 50.0f;    // units per second; up to twice that at level 1
    static constexpr float kLeastOffset = 16.0f;  // units between start and palm along x
    static constexpr int kFlameFrames = 8;

    Ballistic();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // From a side (tint 0) or around; the arc onto a palm; "ballisticEntry".
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion, smoke, flame, and the end once it has left the view sideways.
    virtual void update(double time, double dt);
    void render() override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    int flameFrame = 0;  // 0 to 7
    double smokeTimer = 0.0;
    double smokeInterval;  // s: 0.015 with detail, else 0.045
    double flameTimer = 0.0;
    double flameInterval;        // s, 0.025 to 0.275, drawn at construction
    Texture* texture = nullptr;  // "ballistic"
    Renderable flame;            // not in the tree
    Link target{this};           // the palm it flies at; not owned

private:
    void aimAt(const Vector3& palmCentre);
    bool leftViewSideways() const;
};
