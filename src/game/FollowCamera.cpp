#include "game/FollowCamera.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(FollowCamera, PointCamera, (&makeInstance<FollowCamera, BasicLink>))

FollowCamera::FollowCamera(std::int32_t side_) : side(side_) {}

FollowCamera::FollowCamera() : FollowCamera(0) {}

ClassInfo* FollowCamera::getClass() const { return &classInfo; }

void FollowCamera::tick(double time, double dt) { PointCamera::tick(time, dt); }
