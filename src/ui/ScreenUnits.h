#pragma once
// Small conversions shared by the start-up screens.
#include <string_view>

#include "render/Vector3.h"

class Camera;

// A world point as screen units of `camera` (virtual pixels from the lower left corner
// of its view, y up), keeping z: the units the input service keeps the pointer in.
Vector3 worldToScreenUnits(const Camera& camera, const Vector3& world);
// How many skins of the texture `name` are registered ("<name>:0", "<name>:1", ...).
int countTextureSkins(std::u16string_view name);
