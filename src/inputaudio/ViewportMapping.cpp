#include "inputaudio/ViewportMapping.h"

#include "engine/MathHelpers.h"

Vector3 ViewportMapping::toScreen(const Vector3& raw) const {
    // Window y grows downwards, virtual y upwards: the bottom edge maps to 0.
    return {remapClamped(0.0f, width, left, right, raw.x), remapClamped(0.0f, height, bottom, top, raw.y), raw.z};
}

Vector3 ViewportMapping::toWindow(const Vector3& screen) const {
    return {remapClamped(left, right, 0.0f, width, screen.x), remapClamped(bottom, top, 0.0f, height, screen.y),
            screen.z};
}

bool ViewportMapping::shows(const Vector3& raw) const {
    return raw.x >= left && raw.x < right && raw.y >= top && raw.y < bottom;
}
