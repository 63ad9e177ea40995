#pragma once
// A drawable shape of a width and height in virtual pixels: an origin (the anchor that
// lands on the renderable's position), a centre and its own vertex buffer. Renderables
// draw, bound and hit-test through their skin; Skin itself draws nothing.
#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/Matrix.h"
#include "render/VertexBuffer.h"

class Renderable;

class Skin : public QorBase {
public:
    Skin() = default;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Subtracts the origin from the translation row of m.
    virtual void applyOrigin(Matrix& m) const;
    // Whether p (skin space) lies in the width x height rectangle centred on 0: closed
    // at the low edges, open at the high ones; z ignored.
    virtual bool isInside(const Vector3& p) const;
    virtual void draw(Renderable& r);
    virtual Vector3 getCorner() const;  // centre + half the size
    virtual Vector3 skinToObject(const Vector3& p) const;
    virtual Vector3 objectToSkin(const Vector3& p) const;

    // Moves the origin to a numeric-keypad anchor (y up): 1 bottom-left ... 5 centre ...
    // 9 top-right; 0 is the centre too, and so is any code outside 0..9.
    void setAnchor(int code);

    Vector3 origin{0.0f, 0.0f, 0.0f};
    Vector3 centre{0.0f, 0.0f, 0.0f};
    VertexBuffer vertexBuffer;  // the shape's vertices (not a child in the tree)
    float width = 0.0f;         // virtual pixels
    float height = 0.0f;
};
