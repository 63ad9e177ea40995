#pragma once
// The kamikaze plane: it appears above the view and dives at the defending island,
// twice as steeply as the island lies off straight below it, gravity bending its dive.
// It crashes into the palms it reaches, explodes when shot and crashes into the sea
// with a large splash.
//
// Lives in the game's enemy list; the propeller is a member (not in the tree); the
// "kamikaze" picture (plane, two propeller frames) is the registry's.
#include "game/Enemy.h"
#include "render/Renderable.h"

class Texture;

class Kamikaze : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 400;
    static constexpr float kHealth = 0.2f;
    static constexpr float kGravity = -16.0f;  // units per second squared

    Kamikaze();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Above the view, diving toward the defending island.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    virtual void update(double time, double dt);
    void render() override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    double frameTimer = 0.0;
    double frameInterval = 0.025;  // s per propeller frame
    Texture* texture = nullptr;    // "kamikaze"
    int propellerFrame = 0;        // 0 or 1
    Renderable propeller;          // drawn over the plane; not in the tree
};
