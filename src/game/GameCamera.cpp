#include "game/GameCamera.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(GameCamera, PointCamera, (&makeInstance<GameCamera, BasicLink>))

GameCamera::GameCamera() {}

ClassInfo* GameCamera::getClass() const { return &classInfo; }

void GameCamera::tick(double time, double dt) { PointCamera::tick(time, dt); }
