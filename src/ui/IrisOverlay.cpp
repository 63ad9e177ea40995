#include "ui/IrisOverlay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "platform/GraphicsDevice.h"
#include "render/Easing.h"
#include "render/QorGraphics.h"
#include "render/VertexBuffer.h"
#include "ui/Global.h"

namespace {
constexpr int kRimBands = 8;  // the soft edge as bands of rising opacity
constexpr std::uint32_t kBlack = 0xFF000000u;
}  // namespace

IrisOverlay::IrisOverlay() { bSkipVisibility = 1; }

void IrisOverlay::tick(double, double dt) {
    const auto step = static_cast<float>(dt);
    if (level < target)
        level = std::min(level + step, target);
    else if (level > target)
        level = std::max(level - step, target);
}

void IrisOverlay::render() {
    if (level == 0.0f || bHidden) return;
    const QorGraphics& g = qor->graphics();
    const float halfW = static_cast<float>(g.virtualWidth) / 2.0f;
    const float halfH = static_cast<float>(g.virtualHeight) / 2.0f;
    const float outer = std::sqrt(halfW * halfW + halfH * halfH) + kRim;
    Vector3 eased;
    easeCurve(eased, Vector3{outer, 0.0f, 0.0f}, Vector3{0.0f, 0.0f, 0.0f}, level, kEaseOutSine);
    const float r = eased.x;
    const float inner = std::max(r - kRim, 0.0f);
    GraphicsDevice& device = *g.dxDevice;
    device.setTransform(TransformKind::kWorld, xform);
    if (global && global->configuration.detail >= 1) {
        // The device tints a whole draw with one colour, so the fade from clear to black
        // across the rim is drawn as bands of rising opacity.
        for (int band = 0; band < kRimBands; ++band) {
            const float a = inner + (r - inner) * static_cast<float>(band) / kRimBands;
            const float b = inner + (r - inner) * static_cast<float>(band + 1) / kRimBands;
            const auto alpha = static_cast<std::uint32_t>(255.0f * (static_cast<float>(band) + 0.5f) / kRimBands);
            drawRing(a, b, alpha << 24);
        }
    }
    device.setBlendEnabled(false);
    drawRing(r, outer, kBlack);
    device.setBlendEnabled(true);
}

void IrisOverlay::drawRing(float innerRadius, float outerRadius, std::uint32_t colour) {
    if (outerRadius <= innerRadius) return;
    VertexBuffer strip(2 * (kSegments + 1));
    for (int i = 0; i <= kSegments; ++i) {
        const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / kSegments;
        const float c = std::cos(angle), s = std::sin(angle);
        strip.vertexArray[2 * i] = Vertex{innerRadius * c, innerRadius * s, 0.0f, colour, 0.0f, 0.0f};
        strip.vertexArray[2 * i + 1] = Vertex{outerRadius * c, outerRadius * s, 0.0f, colour, 0.0f, 0.0f};
    }
    strip.upload();
    color = colour;
    applyColorState();
    strip.draw(nullptr, VertexBuffer::kTriangleStrip, 0, -1);
}
