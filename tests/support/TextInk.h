#pragma once
// Test support for letters as drawn: how white letters in an ink ring show in a picture.
// Pixels are ARGB, rows from the top, `stride` pixels a row.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The white cores of a row band (rows top..bottom, columns left..right): runs of
// neighbouring columns holding a near-white pixel; `inkWidth` receives how many columns
// stand off the band's background (the colour at its left edge, row by row) and
// `darkest` the strongest channel of the darkest pixel among them.
inline std::vector<int> whiteCores(const std::vector<std::uint32_t>& pixels, int stride, int left, int right, int top,
                                   int bottom, int& inkWidth, int& darkest) {
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>(c >> shift & 0xFFu); };
    std::vector<int> cores;
    int run = 0;
    inkWidth = 0;
    darkest = 255;
    for (int x = left; x < right; ++x) {
        bool ink = false, white = false;
        for (int y = top; y < bottom; ++y) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y) * stride + x];
            const std::uint32_t back = pixels[static_cast<std::size_t>(y) * stride + left];
            bool off = false;
            for (int shift : {0, 8, 16}) off = off || std::abs(channel(c, shift) - channel(back, shift)) > 40;
            if (!off) continue;
            ink = true;
            white = white || std::min({channel(c, 0), channel(c, 8), channel(c, 16)}) >= 0xC0;
            darkest = std::min(darkest, std::max({channel(c, 0), channel(c, 8), channel(c, 16)}));
        }
        inkWidth += ink ? 1 : 0;
        if (white) {
            ++run;
        } else if (run > 0) {
            cores.push_back(run);
            run = 0;
        }
    }
    return cores;
}
