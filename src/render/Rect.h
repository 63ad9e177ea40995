#pragma once
// An integer rectangle of texture or image pixels, rows counted from the top. The
// field order is part of the stored formats and call conventions: left, top, bottom,
// right.
#include <cstdint>

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t right = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
};
