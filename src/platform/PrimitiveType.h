#pragma once
// Primitive kinds, numbered as the drawing API the engine was first written against.
enum class PrimitiveType : int {
    kPointList = 1,
    kLineList = 2,
    kLineStrip = 3,
    kTriangleList = 4,
    kTriangleStrip = 5,
    kTriangleFan = 6
};
