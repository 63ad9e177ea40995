#include "FontLines.h"

#include <algorithm>

namespace artbake {

int FontLines::topInkRow(const std::vector<const Image*>& cells, int fallback) {
    int top = -1;
    for (const Image* cell : cells) {
        for (int y = 0; y < cell->height && (top < 0 || y < top); ++y) {
            bool ink = false;
            for (int x = 0; x < cell->width && !ink; ++x) ink = cell->at(x, y)[3] != 0;
            if (ink) {
                top = y;
                break;
            }
        }
    }
    return top < 0 ? fallback : top;
}

std::string FontLines::encode() const {
    return "[Lines]\ncapital=" + std::to_string(capitalLine) + "\nsmall=" + std::to_string(lowercaseLine) + "\n";
}

}  // namespace artbake
