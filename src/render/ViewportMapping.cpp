#include "render/ViewportMapping.h"

#include "engine/MathHelpers.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"

ViewportMapping ViewportMapping::fromGraphics(const QorGraphics* graphics) {
    ViewportMapping m;
    if (!graphics) return m;
    m.left = static_cast<float>(graphics->viewportLeft);
    m.top = static_cast<float>(graphics->viewportTop);
    m.right = static_cast<float>(graphics->viewportLeft + graphics->viewportWidth);
    m.bottom = static_cast<float>(graphics->viewportTop + graphics->viewportHeight);
    if (const GraphicsDevice* device = graphics->dxDevice) {
        device->backBufferToWindow(m.left, m.top, m.left, m.top);
        device->backBufferToWindow(m.right, m.bottom, m.right, m.bottom);
    }
    m.width = static_cast<float>(graphics->virtualWidth);
    m.height = static_cast<float>(graphics->virtualHeight);
    return m;
}

Vector3 ViewportMapping::toScreen(const Vector3& raw) const {
    // Window y grows downwards, virtual y upwards: the bottom edge maps to 0.
    return {remapClamped(0.0f, width, left, right, raw.x), remapClamped(0.0f, height, bottom, top, raw.y), raw.z};
}

Vector3 ViewportMapping::toWindow(const Vector3& screen) const {
    return {remapClamped(left, right, 0.0f, width, screen.x), remapClamped(bottom, top, 0.0f, height, screen.y),
            screen.z};
}
