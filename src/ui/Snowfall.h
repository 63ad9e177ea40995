#pragma once
// 512 snowflakes that fall and sway in a box around a camera and wrap around its edges,
// so that the snow never runs out wherever the camera goes. The box is `spread` times
// the virtual screen (1 = the screen at depth 0). Every start position comes from the
// shared random generator, in a fixed order.
//
// The camera is not owned and must outlive the snowfall. The flakes share the skin
// "snowflake:0" and are drawn in one batch, less those wholly off the screen.
#include <vector>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/Matrix.h"
#include "render/VertexBuffer.h"

class Camera;
class Quad;

class Snowfall : public QorBase {
public:
    static constexpr int kFlakes = 512;
    static constexpr float kFallSpeed = 128.0f;  // units per second
    static constexpr float kSwayWidth = 16.0f;   // units either side
    static constexpr float kSwaySpeed = 2.0f;    // radians of phase per second
    static constexpr float kFlakeScale = 0.5f;

    struct Flake {
        float phase = 0.0f;                  // radians, 0..2pi
        float x = 0.0f, y = 0.0f, z = 0.0f;  // unswayed position
        Vector3 drawn{0.0f, 0.0f, 0.0f};     // where it is drawn
        Vector3 rotation{0.0f, 0.0f, 0.0f};  // how it is turned (radians)
    };

    // Needs the texture "snowflake" with a plain quad as its first skin (fatal when
    // missing) and the virtual screen size.
    Snowfall(Camera* camera, float spread);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tick(double time, double dt) override;
    void render() override;

    Camera* camera = nullptr;  // not owned
    std::vector<Flake> flakes;
    int count = kFlakes;
    float spread = 1.0f;

    // Whether a flake with these world corners lies wholly off the view of a
    // view x projection matrix, whose edges are widened by the given clip-space margins.
    static bool outsideView(const Vector3 (&corners)[4], const Matrix& viewProjection, float marginX, float marginY);

private:
    // Fills the batch with the flakes in view, in their order; returns how many.
    int buildBatch(const Matrix& viewProjection, float marginX, float marginY);

    Quad* skin = nullptr;  // the snowflake, owned by its texture
    VertexBuffer batch;    // two triangles per flake, in world units
};
