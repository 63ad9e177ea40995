#pragma once
// A key point of the scene's blending camera that follows one side's vehicle (the
// falling plane; the side whose last palm was lost in the Duel), at its own depth, never
// showing the sea bed (see PointCamera).
//
// Owned by the scene's BlenderCamera (appended as its last child).
#include <cstdint>

#include "ui/PointCamera.h"

class FollowCamera : public PointCamera {
public:
    explicit FollowCamera(std::int32_t side);
    FollowCamera();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The glide's progress, then the vehicle's x and y, then the sea-bed floor.
    void tick(double time, double dt) override;

    std::int32_t side;  // the side whose vehicle it follows
};
