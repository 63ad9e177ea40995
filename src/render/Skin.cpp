#include "render/Skin.h"

#include "engine/ClassInfo.h"
#include "engine/Logger.h"

QOR_DEFINE_CLASS(Skin, QorBase, (&makeInstance<Skin, BasicLink>))

ClassInfo* Skin::getClass() const { return &classInfo; }

void Skin::applyOrigin(Matrix& m) const {
    m.m[3][0] -= origin.x;
    m.m[3][1] -= origin.y;
    m.m[3][2] -= origin.z;
}

bool Skin::isInside(const Vector3& p) const {
    return -width / 2.0f <= p.x && p.x < width / 2.0f && -height / 2.0f <= p.y && p.y < height / 2.0f;
}

void Skin::draw(Renderable&) {}

Vector3 Skin::getCorner() const { return {centre.x + width / 2.0f, centre.y + height / 2.0f, centre.z}; }

Vector3 Skin::skinToObject(const Vector3& p) const { return p; }

Vector3 Skin::objectToSkin(const Vector3& p) const { return p; }

void Skin::setAnchor(int code) {
    // Keypad layout: the code's column gives x, its row y (1..3 bottom row).
    static constexpr float kOffsets[10][2] = {{0, 0}, {-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                              {0, 0}, {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    if (code < 0 || code > 9) {
        QOR_LOG("Skin::setAnchor", u"Unknown anchor %d; using the centre.", code);
        code = 5;
    }
    origin = centre + Vector3{kOffsets[code][0] * width / 2.0f, kOffsets[code][1] * height / 2.0f, 0.0f};
}
