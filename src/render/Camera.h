#pragma once
// The perspective camera every context owns. At its default distance (400 units in
// front of depth 0) one world unit is one virtual pixel at depth 0, so the virtual
// screen (800 x 480, y up) is laid out in world units; things at other depths shrink or
// grow with perspective. Eye and target snap to whole units and shift by the texel
// alignment so that texels land on pixels.
//
// Owned by its context, which ticks it before its contents and draws it (sets the
// projection and view) before them. Game cameras derive and override tick or postTick.
#include "engine/QorBase.h"
#include "engine/Vector3.h"

struct ViewRect {
    float left, top, right, bottom;  // world units; top > bottom
};

class Camera : public QorBase {
public:
    static constexpr float kNearPlane = 1.0f;
    static constexpr float kFarPlane = 1048576.0f;

    Camera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Computes eye and at from position, target and the presentation.
    void tick(double time, double dt) override;
    // Sets the device's projection and view.
    void render() override;
    // Called by the owning context after its contents were ticked.
    virtual void postTick(double time, double dt);

    // The world rectangle visible at depth z (the camera is taken to look along +z).
    ViewRect getViewRect(float z) const;

    Vector3 position;                  // where the camera stands
    Vector3 target{0.0f, 0.0f, 0.0f};  // the point looked at
    float aspect;                      // vertical extent over horizontal
    float roll = 0.0f;                 // radians, turns the up vector about the view axis
    std::uint8_t bPixelSnap = 1;       // snap position and target to whole units
    Vector3 eye{0.0f, 0.0f, 0.0f};     // position used for the view, from tick
    Vector3 at{0.0f, 0.0f, 0.0f};      // target used for the view, from tick
};
