#pragma once
// A plate behind a line of text, so that the text reads over whatever lies beneath it
// (buttons, the game's cannons and islands) where its place is fixed: a rectangle a
// little larger than the line, in the navy of the in-game display's plate, drawn
// untextured just before the text.
//
// Units: the world units of the current view; `at` and `scale` are the text's pen's
// position and scale (rotation is not followed). Main thread, inside a frame's drawing.
#include <string_view>

#include "engine/Vector3.h"
#include "render/UColor.h"

class TextFont;

namespace TextBacking {
constexpr UColor kColour = 0xFF18305Au;  // opaque: nothing beneath shows through the line
constexpr float kPadX = 6.0f;            // units beyond the line's ends
constexpr float kPadY = 2.0f;            // units above and below the line

// Draws the rectangle behind `text` laid out by `font` with the layout `flags` (0x04
// centred on x, 0x08 ending at x, 0x10 centred on y, 0x20 bottom at y) at `at` and
// `scale`, padded by kPadX and kPadY, in `colour`; nothing for an empty text or a
// transparent colour.
void draw(const TextFont& font, const Vector3& at, const Vector3& scale, int flags, std::u16string_view text,
          UColor colour);
}  // namespace TextBacking
