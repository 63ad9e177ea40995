#pragma once
// Test support for measuring where something is drawn: the box of the pixels that differ
// between two pictures of the same size, e.g. drawn with and without a part. Pixels are
// ARGB, rows from the top; alpha is ignored.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

struct ChangedBox {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive pixel columns and rows
    bool empty() const { return right < left || bottom < top; }
    // Whether the two boxes keep at least `gap` pixels between them on some side.
    bool apartFrom(const ChangedBox& o, int gap) const {
        return top > o.bottom + gap || o.top > bottom + gap || left > o.right + gap || o.left > right + gap;
    }
};

// The largest difference of one colour channel between two pixels.
inline int channelDifference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16})
        most = std::max(most, std::abs(static_cast<int>(a >> shift & 0xFFu) - static_cast<int>(b >> shift & 0xFFu)));
    return most;
}

// Pixels whose channels differ by at most `tolerance` count as alike: some drivers round
// a blend differently when the draws around it are batched otherwise.
inline ChangedBox changedBox(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int width,
                             int height, int tolerance = 0) {
    ChangedBox box{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            // Most pixels are the same: the quick test first keeps whole-picture scans cheap
            // in unoptimised builds.
            if (((a[i] ^ b[i]) & 0xFFFFFFu) == 0 || channelDifference(a[i], b[i]) <= tolerance) continue;
            box.left = std::min(box.left, x), box.right = std::max(box.right, x);
            box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
        }
    return box;
}
