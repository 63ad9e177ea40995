#include "ui/TextBacking.h"

#include "render/TextLayout.h"
#include "render/VertexBuffer.h"
#include "ui/TextFont.h"

void TextBacking::rectFor(const TextFont& font, const Vector3& at, const Vector3& scale, int flags,
                          std::u16string_view text, float rect[4]) {
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
    rect[0] = left - kPadX;
    rect[1] = top + kPadY;
    rect[2] = left + w + kPadX;
    rect[3] = top - h - kPadY;
}

void TextBacking::draw(const TextFont& font, const Vector3& at, const Vector3& scale, int flags,
                       std::u16string_view text, UColor colour) {
    if (text.empty() || (colour >> 24) == 0) return;
    float rect[4];
    rectFor(font, at, scale, flags, text, rect);
    drawFilledRect(rect, colour);
}
