#pragma once
// Renders SVG text into straight-alpha RGBA pixels through librsvg and cairo.

#include <string>

#include "BakedTexture.h"

namespace artbake {

class SvgRenderer {
public:
    // Draws the document (or only the element with id `layer`, when not empty) fitted to a
    // width x height viewport. Throws std::runtime_error with librsvg's message on bad SVG;
    // `source` names the drawing in that message.
    static Image render(const std::string& svgText, int width, int height, const std::string& layer,
                        const std::string& source);
};

}  // namespace artbake
