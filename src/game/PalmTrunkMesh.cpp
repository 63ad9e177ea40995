#include "game/PalmTrunkMesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/Renderable.h"
#include "render/Texture.h"

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;
// Below this height the arc's radius would be meaningless: the mappings pass points on.
constexpr float kFlatHeight = 0.0001f;
}  // namespace

PalmTrunkMesh::PalmTrunkMesh() {
    // The quad made four vertices; two rows of two are the same count.
    init();
}

bool PalmTrunkMesh::isStraight(float b) { return std::fabs(b) < kStraightBend; }

bool PalmTrunkMesh::setBend(float newBend) {
    if (isStraight(newBend)) newBend = 0.0f;
    if (newBend == bend) return false;
    bend = newBend;
    init();
    return true;
}

void PalmTrunkMesh::allocateVertices() {
    // Fewer than two rows has no foot-to-top direction to place rows along.
    rows = std::max(rows, 2);
    vertexBuffer.resize(2 * rows);
    for (int k = 0; k < vertexBuffer.vertices; ++k) {
        vertexBuffer.vertexArray[k].z = 0.0f;
        vertexBuffer.vertexArray[k].color = kWhite;
    }
    refresh();
}

void PalmTrunkMesh::refresh() {
    if (!pTexture) return;
    width = (uvRect[2] - uvRect[0]) * static_cast<float>(pTexture->width);
    height = std::fabs(uvRect[1] - uvRect[3]) * static_cast<float>(pTexture->height);
    const int n = vertexBuffer.vertices / 2;
    for (int k = 0; k < 2 * n; ++k) {
        const int row = k / 2;
        Vertex& v = vertexBuffer.vertexArray[k];
        v.u = (k % 2 == 0) ? uvRect[0] : uvRect[2];
        v.v = uvRect[1] + (static_cast<float>(row) / static_cast<float>(n - 1)) * (uvRect[3] - uvRect[1]);
    }
    init();
}

void PalmTrunkMesh::init() {
    const int n = vertexBuffer.vertices / 2;
    if (n < 2) return;
    const float hw = width / 2.0f;
    const float hh = height / 2.0f;
    Vertex* v = vertexBuffer.vertexArray;
    for (int i = 0; i < n; ++i) {
        Vertex& left = v[2 * i];
        Vertex& right = v[2 * i + 1];
        if (isStraight(bend)) {
            const float y = (1.0f - static_cast<float>(i) / static_cast<float>(n - 1)) * height - hh;
            left.x = -hw, right.x = hw;
            left.y = right.y = y;
            continue;
        }
        // The centre line is an arc of radius R about (-R, -hh), starting upright at the foot.
        const float radius = height / bend;
        const float a = (static_cast<float>(n - i - 1) / static_cast<float>(n - 1)) * bend;
        left.x = std::cos(a) * (radius - hw) - radius;
        left.y = std::sin(a) * (radius - hw) - hh;
        right.x = std::cos(a) * (radius + hw) - radius;
        right.y = std::sin(a) * (radius + hw) - hh;
    }
    vertexBuffer.upload();
}

Vector3 PalmTrunkMesh::skinToObject(const Vector3& p) const {
    if (isStraight(bend) || height < kFlatHeight) return p;
    const float radius = height / bend;
    const float a = (p.y + height / 2.0f) / height * bend;
    const float r = p.x + radius;
    return {std::cos(a) * r - radius, std::sin(a) * r - height / 2.0f, 0.0f};
}

Vector3 PalmTrunkMesh::objectToSkin(const Vector3& p) const {
    if (isStraight(bend) || height < kFlatHeight) return p;
    const float radius = height / bend;
    const float x = p.x + radius;
    const float y = p.y + height / 2.0f;
    const float s = bend >= 0.0f ? 1.0f : -1.0f;
    return {std::sqrt(x * x + y * y) * s - radius, std::atan2(y, s * x) * height / std::fabs(bend) - height / 2.0f,
            p.z};
}

void PalmTrunkMesh::calcBoundsRadius(Renderable& r) const {
    const float c = height / (std::numbers::pi_v<float> / 2.0f);
    const float s = r.scale.x >= r.scale.y ? r.scale.x : r.scale.y;
    const float dx = width / 2.0f + c - height / 2.0f;
    r.boundsRadius = s * std::sqrt(dx * dx + c * c);
}
