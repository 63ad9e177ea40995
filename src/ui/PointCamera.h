#pragma once
// A camera key point: a place (position and target) that the scene's BlenderCamera
// glides to once it is appended as the camera's last child. The glide starts after
// `blendDelay`, lasts `blendTime` and follows the easing curve `blendCurve`; the key
// point counts its own progress, the blending camera reads it. A new key point is kept
// above the sea: the bottom of its view at depth 0 never lies below kLowestViewY.
//
// The game's cameras (GameCamera, FollowCamera) derive from it and move themselves each
// tick. Owned by the BlenderCamera it is a child of, which deletes it once a later key
// point has completed, or on a cut (BlenderCamera::setPosition).
#include <cstdint>

#include "render/Camera.h"

class PointCamera : public Camera {
public:
    static constexpr float kLowestViewY = -250.0f;  // world units: the sea bed stays hidden

    // A key point at (x, y, z) looking straight ahead at (x, y), raised when its view
    // would show anything below kLowestViewY.
    PointCamera(float x, float y, float z);
    PointCamera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Advances the glide's progress; nothing changes once it is complete.
    void tick(double time, double dt) override;

    // Raises position and target so that the view's bottom at depth 0 is not below
    // kLowestViewY.
    void keepAboveSeaBed();

    std::int32_t blendCurve = 6;  // easing curve of the glide (easeCurve)
    double blendTime = 1.0;       // s the glide takes; callers set it after construction
    double blendElapsed = 0.0;    // s since the glide began
    float blendProgress = 0.0f;   // blendElapsed / blendTime within [0, 1]; 1 when blendTime is 0
    double blendWeight = 0.0;     // kept for the blending camera
    double blendDelay = 0.0;      // s still to wait before the glide begins
};
