#pragma once
// The skin of a palm: its trunk picture drawn as a strip of `rows` rows of two vertices,
// bent along a circular arc whose length is always the trunk's height, so that the
// trunk sways without stretching. The picture is the quad's texture rectangle; a
// burning palm shortens it from the top (a smaller rectangle, then refresh()).
//
// Geometry (virtual pixels, skin space, y up): the straight trunk is the w x h
// rectangle centred on the origin; row 0 is the top, row rows - 1 the foot. A bend
// turns the trunk about its foot row, which never moves: positive bends lean toward -x.
// Bends whose magnitude is below kStraightBend count as straight everywhere.
//
// Contract of the owner: after a change of `rows` call allocateVertices() before the next
// refresh(); after a change of the rectangle, refresh(); after a change of `bend`, init()
// (or setBend, which does it when the value changes). Owned by the renderable that wears
// it (the palm, with bOwnsSkin). Main thread only.
#include "render/Quad.h"

class Renderable;

class PalmTrunkMesh : public Quad {
public:
    static constexpr float kStraightBend = 0.001f;  // radians

    // Two rows, straight, built at once (size 0 until a texture is set).
    PalmTrunkMesh();

    // A point of the straight trunk onto the bent trunk, and back (exact inverses).
    Vector3 skinToObject(const Vector3& p) const override;
    Vector3 objectToSkin(const Vector3& p) const override;
    // Size and texture coordinates from the rectangle, then init(); nothing without a
    // texture.
    void refresh() override;

    // Sets the bounding radius of `r`, which wears this skin, to one that holds the trunk
    // at every bend, scaled by the larger of r's x and y scale.
    void calcBoundsRadius(Renderable& r) const;
    // Sizes the vertex buffer for `rows` (white, depth 0), then refresh().
    virtual void allocateVertices();
    // Places every vertex for the current width, height, rows and bend, and uploads them.
    virtual void init();

    // Takes a new bend (a magnitude below kStraightBend is 0) and rebuilds the strip
    // when it differs from the present one; returns whether it did.
    bool setBend(float newBend);
    // A bend that counts as straight.
    static bool isStraight(float b);

    int rows = 2;       // vertex rows along the trunk, at least 2
    float bend = 0.0f;  // radians from foot to top; 0 straight, positive toward -x
};
