#pragma once
// The camera of the blending scene layers (the game's scene and the menu background).
// Instead of jumping it glides: its children are key points (PointCamera), and each
// frame it starts from `home` and blends, key point by key point in child order, toward
// each one's position by that key point's progress through its easing curve. A key
// point waits out its start delay before it takes part; once one completes, the key
// point before it is dropped, so the camera rests on the last completed one. It looks
// straight ahead along the depth axis. A shake rolls it back and forth, dying away
// linearly.
//
// Owned by its ContextBlender; it owns its key points.
#include "render/Camera.h"

class BlenderCamera : public Camera {
public:
    static constexpr double kShakeFrequency = 32.0;  // radians of the shake's wave per second

    BlenderCamera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Cuts to (x, y, z): home and position, the view target's x and y; drops every key point.
    void setPosition(float x, float y, float z);
    // After the context's contents: the key points, the shake, eye and look-at.
    void postTick(double time, double dt) override;

    Vector3 home{0.0f, 0.0f, 0.0f};  // where the key points blend from
    double shakeDuration = 0.0;      // s
    double shakeElapsed = 0.0;       // s
    double shakeStrength = 0.0;      // radians of roll at the start of a shake

private:
    Vector3 blendKeyPoints(double time, double dt);
    void shake(double dt);
};
