#include "ui/TextBacking.h"

#include "render/TextLayout.h"
#include "render/VertexBuffer.h"
#include "ui/TextFont.h"

void TextBacking::draw(const TextFont& font, const Vector3& at, const Vector3& scale, int flags,
                       std::u16string_view text, UColor colour) {
    if (text.empty() || (colour >> 24) == 0) return;
    const Vector3 size = font.measureTextAs(text, flags);
    const float w = size.x * scale.x;
    const float h = size.y * scale.y;
    // Where the line's top-left corner lands, as the fonts place it.
    float left = at.x;
    float top = at.y;
    if (flags & TextFlags::kRight) left -= w;
    if (flags & TextFlags::kCentre) left -= w / 2.0f;
    if (flags & TextFlags::kMiddle) top += h / 2.0f;
    if (flags & TextFlags::kBottom) top += h;
    const float rect[4] = {left - kPadX, top + kPadY, left + w + kPadX, top - h - kPadY};
    drawFilledRect(rect, colour);
}
