#include "render/Renderable.h"

#include <cmath>
#include <limits>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyFloat.h"
#include "engine/PropertyPointer.h"
#include "engine/PropertyUColor.h"
#include "engine/Qor.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/VertexBuffer.h"

QOR_DEFINE_CLASS(Renderable, QorBase, (&makeInstance<Renderable, BasicLink>))

namespace {
constexpr int kDebugHighlight = 0x40;
constexpr int kDebugCollisionCircle = 0x10;
constexpr int kDebugBounds = 0x20;
constexpr int kDebugUpdatedThisFrame = 0x80;
constexpr int kCircleVertices = 64;
constexpr float kCircleTurn = 6.28f;  // the circle's step is 6.28 / 64, as the art was checked with

float distanceSquared(const Vector3& a, const Vector3& b) {
    const Vector3 d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

UColor halveAlpha(UColor c) { return (c & 0x00FFFFFFu) | (((c >> 24) >> 1) << 24); }

bool differsFrom(const Vector3& v, float value) { return v.x != value || v.y != value || v.z != value; }
}  // namespace

Renderable::Renderable() = default;

Renderable::~Renderable() {
    if (bOwnsSkin && pSkin) pSkin->destroy();
    pSkin = nullptr;
}

ClassInfo* Renderable::getClass() const { return &classInfo; }

void Renderable::describeProperties(PropertyContainer* container) {
    QorBase::describeProperties(container);
    container->addChild(new PropertyFloat(u"collisionSensitivity", 0, &collisionSensitivity));
    auto addVector = [container](const char16_t* name, Vector3& v) {
        auto* group = new PropertyContainer(name, 0);
        group->addChild(new PropertyFloat(u"x", 0, &v.x));
        group->addChild(new PropertyFloat(u"y", 0, &v.y));
        group->addChild(new PropertyFloat(u"z", 0, &v.z));
        container->addChild(group);
    };
    addVector(u"position", position);
    addVector(u"rotation", rotation);
    addVector(u"scale", scale);
    container->addChild(new PropertyUColor(u"color", 0, &color));
    // A shared skin travels as its resource name; an owned one is part of this object.
    // (Skin's only base is QorBase, so the field holds a QorBase pointer as it is.)
    if (!bOwnsSkin)
        container->addChild(new PropertyPointer(u"pSkin", Property::kResource, reinterpret_cast<QorBase**>(&pSkin)));
}

void Renderable::setPosition(float x, float y, float z) {
    position = Vector3{x, y, z};
    updateXform();
}

void Renderable::setup(Skin* skin, const Vector3* newPosition, const Vector3* newRotation, const Vector3* newScale,
                       const Matrix* pre, const Matrix* post) {
    if (skin) pSkin = skin;
    if (newPosition) position = *newPosition;
    if (newRotation) rotation = *newRotation;
    if (newScale) scale = *newScale;
    if (pre) preXform = *pre;
    if (post) postXform = *post;
    updateXform();
}

void Renderable::setScale(float s) {
    scale.x = scale.y = s;
    updateXform();
}

void Renderable::setPostScale(float x, float y, float z) {
    postScale = Vector3{x, y, z};
    updateXform();
}

void Renderable::setPostScale(float s) {
    postScale.x = postScale.y = s;
    updateXform();
}

void Renderable::setPreXform(const Matrix& m) {
    preXform = m;
    updateXform();
}

void Renderable::setPostXform(const Matrix& m) {
    postXform = m;
    updateXform();
}

void Renderable::updateXform() {
    ++qor->counters.visualUpdates;
    lastUpdateFrame = qor->frameCounter;
    calcXform();
    calcBounds();
}

void Renderable::calcLocalXform(Matrix& m) {
    // Only the scale modes that follow the display read the graphics service, which a
    // headless engine does not have.
    const QorGraphics* g = qor->pQorGraphics;
    if (scaleMode == kScalePixel && g) {
        m = Matrix::multiply(
            m, Matrix::scaling(scale.x * g->pixelScale.x, scale.y * g->pixelScale.y, scale.z * g->pixelScale.z));
    } else if (scaleMode == kScaleAspect && g) {
        m = Matrix::multiply(m, Matrix::scaling(scale.x, scale.y * g->virtualAspect / g->viewportAspect, scale.z));
    } else if (differsFrom(scale, 1.0f)) {
        m = Matrix::multiply(m, Matrix::scaling(scale.x, scale.y, scale.z));
    }
    if (differsFrom(rotation, 0.0f))
        m = Matrix::multiply(m, Matrix::rotationYawPitchRoll(rotation.y, rotation.x, rotation.z));
    if (differsFrom(postScale, 1.0f)) m = Matrix::multiply(m, Matrix::scaling(postScale.x, postScale.y, postScale.z));
    m.m[3][0] += position.x;
    m.m[3][1] += position.y;
    m.m[3][2] += position.z;
}

void Renderable::calcXform() {
    xform = preXform;
    if (pSkin) pSkin->applyOrigin(xform);
    calcLocalXform(xform);
    xform = Matrix::multiply(xform, postXform);
    if (!bHasInvXform) return;
    ++qor->counters.inverseTransforms;
    // A degenerate transform (a scale of 0 while shrinking away, say) is no reason to end
    // the game: the object simply cannot be hit until it has an inverse again.
    bInvXformValid = Matrix::inverse(xform, invXform) ? 1 : 0;
    if (!bInvXformValid && !bSingularLogged) {
        bSingularLogged = 1;
        QOR_LOG("Renderable::calcXform", u"Matrix inversion failed for a %s; it takes no hits while degenerate.",
                getClass()->name);
    }
}

void Renderable::calcBounds() {
    if (bSkipVisibility) return;
    if (!pSkin) {
        boundsCentre = xform.transformCoord(Vector3{0.0f, 0.0f, 0.0f});
        boundsRadius = 0.0f;
        return;
    }
    boundsCentre = xform.transformCoord(pSkin->centre);
    boundsRadius = std::sqrt(distanceSquared(boundsCentre, xform.transformCoord(pSkin->getCorner())));
}

void Renderable::updateVisibility() {
    if (bSkipVisibility) {
        bVisible = 1;
        return;
    }
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) {
        bVisible = 1;
        return;
    }
    const ViewRect v = context->pCamera->getViewRect(boundsCentre.z);
    const float cx = boundsCentre.x, cy = boundsCentre.y, r = boundsRadius;
    bVisible = (v.left > cx + r || cx - r > v.right || cy - r > v.top || v.bottom > cy + r) ? 0 : 1;
}

void Renderable::render() {
    if (bHidden) return;
    updateVisibility();
    ++qor->counters.renderablesVisited;
    if (!bVisible) return;
    ++qor->counters.renderablesVisible;
    applyColorState();
    // The debug bits are widened for this object only, so that its skin's buffer sees them.
    const int savedDebugLevel = qor->debugLevel;
    if ((qor->debugLevel & kDebugUpdatedThisFrame) && lastUpdateFrame == qor->frameCounter)
        qor->debugLevel |= kDebugHighlight;
    qor->graphics().dxDevice->setTransform(TransformKind::kWorld, xform);
    if (pSkin) pSkin->draw(*this);
    if (!bSkipVisibility && (qor->debugLevel & (kDebugCollisionCircle | kDebugBounds))) drawDebugOverlays();
    qor->debugLevel = savedDebugLevel;
}

void Renderable::drawDebugOverlays() {
    GraphicsDevice& device = *qor->graphics().dxDevice;
    device.setTransform(TransformKind::kWorld, DeviceMatrix::identity());
    const float z = position.z;
    auto circlePoint = [&](int i, float radius) {
        const float angle = static_cast<float>(i) * kCircleTurn / static_cast<float>(kCircleVertices);
        return Vertex{boundsCentre.x + radius * std::cos(angle), boundsCentre.y + radius * std::sin(angle), z, 0, 0, 0};
    };
    if (qor->debugLevel & kDebugCollisionCircle) {
        VertexBuffer lines(kCircleVertices);
        for (int i = 0; i < kCircleVertices; ++i)
            lines.vertexArray[i] = circlePoint(i + 1, boundsRadius * collisionSensitivity);
        lines.setColor((color >> 24 >> 1) << 24 | 0xFF0000u, true);
        lines.draw(nullptr, VertexBuffer::kLineList, 0, -1);
    }
    if (qor->debugLevel & kDebugBounds) {
        VertexBuffer lines(kCircleVertices + 8);
        for (int i = 0; i < kCircleVertices; ++i) lines.vertexArray[i] = circlePoint(i, boundsRadius);
        Vertex* cross = lines.vertexArray + kCircleVertices;
        const Vector3& p = position;
        const Vector3& c = boundsCentre;
        const Vertex marks[8] = {
            {p.x - 3, p.y - 3, p.z, 0x80FFFFFFu, 0, 0}, {p.x + 3, p.y + 3, p.z, 0x80FFFFFFu, 0, 0},
            {p.x - 3, p.y + 3, p.z, 0x80FFFFFFu, 0, 0}, {p.x + 3, p.y - 3, p.z, 0x80FFFFFFu, 0, 0},
            {c.x - 2, c.y - 2, c.z, 0x80FF0000u, 0, 0}, {c.x + 2, c.y + 2, c.z, 0x80FF0000u, 0, 0},
            {c.x - 2, c.y + 2, c.z, 0x80FF0000u, 0, 0}, {c.x + 2, c.y - 2, c.z, 0x80FF0000u, 0, 0}};
        for (int i = 0; i < 8; ++i) cross[i] = marks[i];
        for (int i = 0; i < kCircleVertices; ++i) lines.vertexArray[i].color = halveAlpha(color);
        lines.upload();
        lines.draw(nullptr, VertexBuffer::kLineList, 0, -1);
    }
}

void Renderable::applyColorState() {
    const QorGraphics& g = qor->graphics();
    if (g.bSilhouettePass) return;
    g.dxDevice->setColorOp((color & 0x00FFFFFFu) == 0x00FFFFFFu ? TextureOp::kSelectTexture : TextureOp::kModulate);
    g.dxDevice->setAlphaOp((color >> 24) == 0xFFu ? TextureOp::kSelectTexture : TextureOp::kModulate);
}

bool Renderable::hitTest() {
    if (bSkipVisibility || !bHasInvXform || !bInvXformValid) return false;
    auto* context = static_cast<Context*>(findContext());
    return isPointInside(context->pointer);
}

bool Renderable::isPointInside(const Vector3& p) {
    if (!pSkin || (bHasInvXform && !bInvXformValid)) return false;
    return pSkin->isInside(world2local(p));
}

bool Renderable::isPointInsideBounds(const Vector3& p, float factor) {
    QOR_ASSERT("Renderable::isPointInsideBounds", !bSkipVisibility);
    const float r = boundsRadius * factor;
    return distanceSquared(p, boundsCentre) < r * r;
}

bool Renderable::isPointInsideCollisionBounds(const Vector3& p) {
    QOR_ASSERT("Renderable::isPointInsideCollisionBounds", !bSkipVisibility);
    const float r = boundsRadius * collisionSensitivity;
    return distanceSquared(p, boundsCentre) < r * r;
}

bool Renderable::collide(Renderable* other) {
    QOR_ASSERT("Renderable::collide", !bSkipVisibility && !other->bSkipVisibility);
    ++qor->counters.collisions;
    const float reach = boundsRadius * collisionSensitivity + other->boundsRadius * other->collisionSensitivity;
    return distanceSquared(boundsCentre, other->boundsCentre) < reach * reach;
}

Vector3 Renderable::local2world(const Vector3& p) {
    const Vector3 q = pSkin ? pSkin->skinToObject(p) : p;
    return xform.transformCoord(q);
}

Vector3 Renderable::world2local(const Vector3& p) {
    QOR_ASSERT("Renderable::world2local", bHasInvXform);
    if (!bInvXformValid) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        return {nan, nan, nan};
    }
    const Vector3 q = invXform.transformCoord(p);
    return pSkin ? pSkin->objectToSkin(q) : q;
}
