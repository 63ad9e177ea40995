#pragma once
// The layout flags shared by both font kinds, and where they put a line's origin.
//   0x04 centre horizontally   0x08 right-align            0x10 centre the line vertically
//   0x20 bottom at the pen     0x40 capitals centred       0x80 baseline at the pen
//   0x100 never use the font cache                         0x200 draw with the fallback font
// Without flags the line's top-left corner is at the pen. Units are the font's raw pixels,
// y up (a line hangs down from its origin).
#include "engine/Vector3.h"
#include "render/Renderable.h"

namespace TextFlags {
constexpr int kCentre = 0x04;
constexpr int kRight = 0x08;
constexpr int kMiddle = 0x10;
constexpr int kBottom = 0x20;
constexpr int kCapitalsCentred = 0x40;
constexpr int kBaseline = 0x80;
constexpr int kNoCache = 0x100;
constexpr int kFallback = 0x200;
}  // namespace TextFlags

// The origin of a line `width` raw pixels wide; each flag adds to what the earlier ones gave.
inline void textOrigin(int flags, int width, int fontHeightRaw, int uppercaseLineRaw, int baselineRaw, float& ox,
                       float& oy) {
    int x = 0, y = 0;
    if (flags & TextFlags::kRight) x = -width;
    if (flags & TextFlags::kCentre) x -= width / 2;
    if (flags & TextFlags::kMiddle) y = fontHeightRaw / 2;
    if (flags & TextFlags::kBottom) y += fontHeightRaw;
    if (flags & TextFlags::kCapitalsCentred) y += (uppercaseLineRaw + baselineRaw) / 2;
    if (flags & TextFlags::kBaseline) y += baselineRaw;
    ox = static_cast<float>(x);
    oy = static_cast<float>(y);
}

// Sets up `pen` to draw a text at (x, y, z) of the world in `color`.
inline void placeTextPen(Renderable& pen, float x, float y, float z, UColor color) {
    pen.color = color;
    pen.position = Vector3{x, y, z};
    pen.bSkipVisibility = 1;
    pen.updateXform();
}

// Sets up `glyphPen` to draw a line through `pen`: in the pen's colour, at the font's
// `scale`, with the line's origin at (ox, oy) of the pen's space.
inline void placeGlyphPen(Renderable& glyphPen, const Renderable& pen, const Vector3& scale, float ox, float oy) {
    glyphPen.color = pen.color;
    glyphPen.position = Vector3{ox, oy, 0.0f};
    glyphPen.scale = scale;
    glyphPen.postXform = pen.xform;
    glyphPen.bSkipVisibility = 1;
    glyphPen.updateXform();
}
