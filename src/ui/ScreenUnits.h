#pragma once
// Small conversions shared by the start-up screens.
#include "engine/Vector3.h"

class Camera;

// A world point as screen units of `camera` (virtual pixels from the lower left corner
// of its view, y up), keeping z: the units the input service keeps the pointer in.
Vector3 worldToScreenUnits(const Camera& camera, const Vector3& world);
