#pragma once
// The camera of the blending scene layers (the game's scene and the menu background):
// it holds its home position and looks straight ahead along the depth axis; a shake
// rolls it back and forth, dying away linearly. Key points that glide it between
// positions come with the game's cameras.
//
// Owned by its ContextBlender.
#include "render/Camera.h"

class BlenderCamera : public Camera {
public:
    BlenderCamera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Cuts to (x, y, z): home and position, the view target's x and y; drops every key point.
    void setPosition(float x, float y, float z);
    // After the context's contents: the position from home, the shake, eye and look-at.
    void postTick(double time, double dt) override;

    Vector3 home{0.0f, 0.0f, 0.0f};
    double shakeDuration = 0.0;  // s
    double shakeElapsed = 0.0;   // s
    double shakeStrength = 0.0;  // radians of roll at the start of a shake
};
