#pragma once
// An array of vertices mirrored in a device vertex buffer, drawn as one of six primitive
// kinds. Drawing applies the texture's alpha rule (blending off for textures without
// alpha), the tint (vertex 0's colour becomes the texture factor) and the engine's
// debug overlays.
//
// Owns its vertex array and device buffer. Write vertexArray, then upload().
#include "engine/QorBase.h"
#include "render/UColor.h"
#include "render/Vertex.h"

class DeviceVertexBuffer;
class Texture;

class VertexBuffer : public QorBase {
public:
    // Primitive kinds of draw().
    enum { kPointList = 0, kLineList = 1, kLineStrip = 2, kTriangleList = 3, kTriangleStrip = 4, kTriangleFan = 5 };

    VertexBuffer() = default;
    explicit VertexBuffer(int count);
    ~VertexBuffer() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // A new size drops the old vertices and buffer; contents are undefined until written.
    void resize(int n);
    void createDXobject();
    // Copies every vertex to the device buffer.
    void upload();
    // Vertex 0's colour (the tint of the next draw); with `all`, every vertex's, uploaded.
    void setColor(UColor c, bool all);
    // Draws `count` vertices from `first` (-1: to the last) as primitive `type`, with
    // texture t (null: untextured). A type outside 0..5 is fatal.
    void draw(Texture* t, int type, int first, int count);

    Vertex* vertexArray = nullptr;  // owned, `vertices` long
    int vertices = 0;
    DeviceVertexBuffer* dxVBuffer = nullptr;  // owned

private:
    void drawOverlays(int type, int first, int count);
    void drawRange(int type, int first, int count);
};

// A rectangle (x0, y0, x1, y1) in world units of the current view, drawn with the world
// transform reset to identity, untextured, at depth 0.
void drawFilledRect(const float rect[4], UColor color);
void drawRectOutline(const float rect[4], UColor color);
