#pragma once
// Test support for letters as drawn: how white letters in an ink ring show in a picture.
// Pixels are ARGB, rows from the top, `stride` pixels a row.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
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

// The separate parts of a drawn mark (a colon has two, "%" three) or of a word's letters:
// groups of inked pixels of a width x height box, `inked(x, y)` telling which, where
// pixels up to `clear` apart across or down belong together, so that two parts count as
// separate only where at least `clear` uninked pixels stand between them. Each part is
// the list of its pixels, the parts in the order of their first pixel, row by row.
using InkPart = std::vector<std::pair<int, int>>;
template <typename Inked>
std::vector<InkPart> inkParts(int width, int height, Inked inked, int clear) {
    std::vector<int> seen(static_cast<std::size_t>(width) * height, 0);
    std::vector<InkPart> parts;
    for (int y0 = 0; y0 < height; ++y0)
        for (int x0 = 0; x0 < width; ++x0) {
            if (seen[static_cast<std::size_t>(y0) * width + x0] || !inked(x0, y0)) continue;
            seen[static_cast<std::size_t>(y0) * width + x0] = 1;
            InkPart& part = parts.emplace_back(InkPart{{x0, y0}});
            for (std::size_t k = 0; k < part.size(); ++k) {
                const auto [x, y] = part[k];
                for (int ny = std::max(0, y - clear); ny <= std::min(height - 1, y + clear); ++ny)
                    for (int nx = std::max(0, x - clear); nx <= std::min(width - 1, x + clear); ++nx) {
                        int& mark = seen[static_cast<std::size_t>(ny) * width + nx];
                        if (mark || !inked(nx, ny)) continue;
                        mark = 1;
                        part.emplace_back(nx, ny);
                    }
            }
        }
    return parts;
}
