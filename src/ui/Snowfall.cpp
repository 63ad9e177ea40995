#include "ui/Snowfall.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/VirtualScreen.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/Matrix.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(Snowfall, QorBase, nullptr)

namespace {
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr int kVerticesPerFlake = 6;
// Pixels beyond the view's edges that still count as inside: drawing moves every vertex
// by half a pixel.
constexpr float kCullMarginPixels = 2.0f;

float virtualWidth() { return static_cast<float>(kVirtualScreenWidth); }
float virtualHeight() { return static_cast<float>(kVirtualScreenHeight); }
}  // namespace

Snowfall::Snowfall(Camera* camera_, float spread_) : camera(camera_), spread(spread_) {
    auto* texture = static_cast<Texture*>(qor->resources().find(true, u"snowflake"));
    skin = texture->skins.empty() ? nullptr : dynamic_cast<Quad*>(texture->skins[0]);
    QOR_ASSERT("Snowfall::Snowfall", skin != nullptr);
    const float w = spread * virtualWidth() * 0.5f;
    const float h = spread * virtualHeight() * 0.5f;
    flakes.resize(kFlakes);
    // The order of the draws is part of the picture: phase, depth, height, then x.
    for (Flake& f : flakes) {
        f.phase = Random::fraction() * kTwoPi;
        f.z = Random::fraction() * -(virtualWidth() / 2.0f);
        f.y = -h + Random::fraction() * 2.0f * h;
        f.x = -w + Random::fraction() * 2.0f * w;
        f.drawn = Vector3{f.x, f.y, f.z};
    }
    batch.resize(kFlakes * kVerticesPerFlake);
}

ClassInfo* Snowfall::getClass() const { return &classInfo; }

void Snowfall::tick(double, double dt) {
    const float step = static_cast<float>(dt);
    const float w = spread * virtualWidth() * 0.5f;
    const float h = spread * virtualHeight() * 0.5f;
    const float cx = camera ? camera->position.x : 0.0f;
    const float cy = camera ? camera->position.y : 0.0f;
    const float boxWidth = std::trunc(2.0f * w);
    const float boxHeight = 2.0f * h;
    for (Flake& f : flakes) {
        // At most one box a frame: after a jump the snow catches up over a few frames.
        if (f.x < cx - w) f.x += boxWidth;
        if (f.x > cx + w) f.x -= boxWidth;
        if (f.y < cy - h) f.y += boxHeight;
        if (f.y > cy + h) f.y -= boxHeight;
        f.phase = std::fmod(f.phase + kSwaySpeed * step, kTwoPi);
        f.y -= kFallSpeed * step;
        f.drawn = Vector3{f.x + std::cos(f.phase) * kSwayWidth, f.y, f.z};
        f.rotation = Vector3{f.phase, f.phase, 0.0f};
    }
}

int Snowfall::buildBatch(const Matrix& viewProjection, float marginX, float marginY) {
    const float hw = skin->width / 2.0f, hh = skin->height / 2.0f;
    const auto& uv = skin->uvRect;
    const Vector3 corners[4] = {{-hw, hh, 0.0f}, {hw, hh, 0.0f}, {-hw, -hh, 0.0f}, {hw, -hh, 0.0f}};
    const float u[4] = {uv[0], uv[2], uv[0], uv[2]};
    const float v[4] = {uv[1], uv[1], uv[3], uv[3]};
    static constexpr int kOrder[kVerticesPerFlake] = {0, 1, 2, 2, 1, 3};
    Vertex* out = batch.vertexArray;
    int drawn = 0;
    for (const Flake& f : flakes) {
        // The transform a renderable would have: origin, scale, turn, then position.
        Matrix m = Matrix::translation(-skin->origin.x, -skin->origin.y, -skin->origin.z);
        m = Matrix::multiply(m, Matrix::scaling(kFlakeScale, kFlakeScale, 1.0f));
        m = Matrix::multiply(m, Matrix::rotationYawPitchRoll(f.rotation.y, f.rotation.x, f.rotation.z));
        m = Matrix::multiply(m, Matrix::translation(f.drawn.x, f.drawn.y, f.drawn.z));
        Vector3 p[4];
        for (int k = 0; k < 4; ++k) p[k] = m.transformCoord(corners[k]);
        if (outsideView(p, viewProjection, marginX, marginY)) continue;
        for (int k : kOrder) *out++ = Vertex{p[k].x, p[k].y, p[k].z, 0xFFFFFFFFu, u[k], v[k]};
        ++drawn;
    }
    batch.upload();
    return drawn;
}

// A flake is left out only when all its corners lie beyond the same edge of the view
// (widened by `margin` of clip space): then none of its pixels can be drawn. Corners
// behind the eye decide nothing.
bool Snowfall::outsideView(const Vector3 (&corners)[4], const Matrix& viewProjection, float marginX, float marginY) {
    const auto& m = viewProjection.m;
    int left = 0, right = 0, below = 0, above = 0;
    for (const Vector3& c : corners) {
        const float x = c.x * m[0][0] + c.y * m[1][0] + c.z * m[2][0] + m[3][0];
        const float y = c.x * m[0][1] + c.y * m[1][1] + c.z * m[2][1] + m[3][1];
        const float w = c.x * m[0][3] + c.y * m[1][3] + c.z * m[2][3] + m[3][3];
        if (!(w > 0.0f)) return false;
        left += x < -w * (1.0f + marginX);
        right += x > w * (1.0f + marginX);
        below += y < -w * (1.0f + marginY);
        above += y > w * (1.0f + marginY);
    }
    return left == 4 || right == 4 || below == 4 || above == 4;
}

void Snowfall::render() {
    if (!qor->pQorGraphics || !qor->graphics().dxDevice) return;
    GraphicsDevice& device = *qor->graphics().dxDevice;
    // Flakes off the screen are not sent: with the snow spread around the camera, most are.
    const Matrix viewProjection{DeviceMatrix::product(device.getTransform(TransformKind::kView),
                                                      device.getTransform(TransformKind::kProjection))};
    const DeviceViewport& viewport = device.getViewport();
    const int drawn = buildBatch(viewProjection, kCullMarginPixels * 2.0f / static_cast<float>(viewport.width),
                                 kCullMarginPixels * 2.0f / static_cast<float>(viewport.height));
    device.setTransform(TransformKind::kWorld, DeviceMatrix::identity());
    // A screenshot's alpha pass keeps its white colour: only the coverage counts there.
    if (!qor->graphics().bSilhouettePass) device.setColorOp(TextureOp::kSelectTexture);
    device.setAlphaOp(TextureOp::kSelectTexture);
    batch.draw(skin->pTexture, VertexBuffer::kTriangleList, 0, drawn * kVerticesPerFlake);
}
