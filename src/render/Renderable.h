#pragma once
// The base of everything drawn: a placement in the world (position, rotation, scale and
// two extra matrices), a colour, an optional shape (Skin) and what is derived from them:
// the world matrix, its inverse and a bounding circle. It culls itself against the view
// of the current context's camera, draws its skin tinted with its colour, answers point
// hit tests and circle collisions, and maps points between world and skin space.
//
// A renderable draws only itself, not its children. Units are virtual pixels, y up, z
// depth away from the camera. After changing fields directly call updateXform(); the
// setters do it themselves. The skin is shared unless bOwnsSkin is set.
#include <cstdint>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/Matrix.h"
#include "render/UColor.h"

class Skin;

class Renderable : public QorBase {
public:
    enum ScaleMode { kScalePlain = 0, kScaleAspect = 1, kScalePixel = 2 };

    Renderable();
    ~Renderable() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void render() override;
    void describeProperties(PropertyContainer* container) override;
    // Whether the owning context's pointer lies on the skin. Objects without an
    // inverse (bHasInvXform clear, or a transform that cannot be inverted) never hit.
    bool hitTest() override;

    virtual void applyColorState();
    virtual void calcLocalXform(Matrix& m);
    virtual void calcXform();
    virtual void calcBounds();
    virtual void updateVisibility();
    virtual bool isPointInside(const Vector3& p);
    virtual bool isPointInsideBounds(const Vector3& p, float factor);
    virtual bool isPointInsideCollisionBounds(const Vector3& p);
    virtual bool collide(Renderable* other);
    virtual Vector3 local2world(const Vector3& p);
    // World to skin space; NaN coordinates while the transform cannot be inverted.
    virtual Vector3 world2local(const Vector3& p);
    virtual void updateXform();
    virtual void setScale(float s);
    virtual void setPostScale(float x, float y, float z);
    virtual Vector3& getPostScale() { return postScale; }
    virtual void setPostScale(float s);
    virtual void setPreXform(const Matrix& m);
    virtual void setPostXform(const Matrix& m);

    void setPosition(float x, float y, float z);
    // Replaces each field given (null: kept; a null skin keeps pSkin), then updateXform.
    void setup(Skin* skin, const Vector3* newPosition = nullptr, const Vector3* newRotation = nullptr,
               const Vector3* newScale = nullptr, const Matrix* pre = nullptr, const Matrix* post = nullptr);

    Matrix xform = Matrix::identity();       // world matrix
    Matrix invXform = Matrix::identity();    // its inverse, while bHasInvXform and valid
    Vector3 boundsCentre{0.0f, 0.0f, 0.0f};  // world units
    UColor color = 0xFFFFFFFFu;              // tint and opacity of the skin
    float boundsRadius = 0.0f;               // world units
    float collisionSensitivity = 1.0f;       // factor on boundsRadius for collisions
    std::uint8_t bHidden = 0;                // render does nothing at all
    std::uint8_t bOwnsSkin = 0;              // pSkin is destroyed with this object
    std::uint8_t bHasInvXform = 0;           // keep invXform (hit tests, world2local)
    Matrix preXform = Matrix::identity();    // applied first
    Matrix postXform = Matrix::identity();   // applied last
    Skin* pSkin = nullptr;
    Vector3 position{0.0f, 0.0f, 0.0f};
    Vector3 rotation{0.0f, 0.0f, 0.0f};   // radians: x pitch, y yaw, z roll
    Vector3 scale{1.0f, 1.0f, 1.0f};      // before rotation
    Vector3 postScale{1.0f, 1.0f, 1.0f};  // after rotation
    int scaleMode = kScalePlain;
    int lastUpdateFrame = -1;  // the engine's frameCounter at the last updateXform

private:
    void drawDebugOverlays();
    std::uint8_t bInvXformValid = 1;   // 0 while the world matrix is singular
    std::uint8_t bSingularLogged = 0;  // a singular matrix is logged once per object
};
