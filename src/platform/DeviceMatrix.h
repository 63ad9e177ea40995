#pragma once
// A 4x4 single-precision transform as the drawing device takes it: for row vectors (a
// point is the row (x, y, z, 1) multiplied on the left), stored row by row, m[3][0..2]
// the translation. The rendering layer's Matrix adds the helpers that build them.
struct DeviceMatrix {
    float m[4][4];

    static DeviceMatrix identity();
    // a * b: a point transformed by the result goes through a first.
    static DeviceMatrix product(const DeviceMatrix& a, const DeviceMatrix& b);
};
