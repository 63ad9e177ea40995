#pragma once
// An integer point in image or texture pixels, rows counted from the top.
#include <cstdint>

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
