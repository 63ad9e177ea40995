#pragma once
// An engine car of the zeppelin: the part the players must shoot off. It rides on its
// zeppelin at a fixed offset in the hull's own frame, has real health (the hull has
// none to lose), and when destroyed it explodes downward, shakes the camera and tells
// its zeppelin, which starts sinking once its last part is gone. Belongs to no side.
//
// An enemy of its own (hostile, worth kScoreValue), but never entered by a spawner: the
// zeppelin makes its parts when it enters and counts their points as released.
//
// Lives in the game's enemy list (the zeppelin inserts it there), which owns it. The
// owner is held by a link that clears should the zeppelin go first; a part without an
// owner stays where it is.
#include "engine/Link.h"
#include "engine/Vector3.h"
#include "game/Enemy.h"

class ZeppelinPart : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 1000;
    static constexpr int kSkin = 2;  // of the "zeppelin" texture
    static constexpr float kScale = 2.0f;
    static constexpr double kShakeStrength = 0.005;  // radians of camera roll

    // A part with `strength` as its health and maximum health.
    explicit ZeppelinPart(float strength);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Entering the scene: nothing to do for a part (the zeppelin places it).
    void enter() override {}
    // Rides on the owner: position = offset through the owner's world matrix, rotation
    // = the owner's rotation.
    void tick(double time, double dt) override;
    // Explodes downward from its centre, "explosionShort" a little deeper, tells the
    // owner, is flagged for deletion and shakes the scene camera.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    Link owner{this};                  // the zeppelin it belongs to; not owned
    Vector3 offset{0.0f, 0.0f, 0.0f};  // in the zeppelin's local frame

private:
    void tellOwner();
};
