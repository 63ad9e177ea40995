#pragma once
// The camera during a Duel: a key point of the scene's blending camera that frames both
// sides' vehicles, pulling back to kFarZ when they are far apart and coming in to kNearZ
// when they are close again, with hysteresis so that it does not pump at the threshold.
// It never shows the sea bed (see PointCamera).
//
// Owned by the scene's BlenderCamera (appended as its last child). Stands still while
// either side has no vehicle.
#include <cstdint>

#include "ui/PointCamera.h"

class GameCamera : public PointCamera {
public:
    static constexpr float kMargin = 64.0f;    // world units around the vehicles
    static constexpr float kZoomOut = 640.0f;  // box measure above which it pulls back
    static constexpr float kZoomIn = 576.0f;   // box measure below which it comes in
    static constexpr float kNearZ = -320.0f;
    static constexpr float kFarZ = -640.0f;

    GameCamera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The glide's progress, then framing, zoom and the sea-bed floor.
    void tick(double time, double dt) override;

    std::uint8_t zoomedOut = 0;
    float startDistance = kNearZ;   // z at the start of the current zoom
    float targetDistance = kNearZ;  // z the current zoom goes to
    float zoomProgress = 1.0f;      // 0..1 through the current zoom (one second)

private:
    void startZoom(std::uint8_t out, float distance);
};
