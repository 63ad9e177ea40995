#include "ui/TextFont.h"

#include "engine/Qor.h"
#include "render/QorGraphics.h"
#include "render/Renderable.h"

bool TextFont::textShadowsOn() { return !qor || !qor->pQorGraphics || qor->graphics().bHighDetail; }

Vector3 TextFont::measureTextAs(std::u16string_view text, int) const { return measureText(text); }

Vector3 TextFont::getMarkedTextSize(std::u16string_view text) const { return measureText(stripMarkup(text)); }

void TextFont::drawTextWithShadow(Renderable& pen, int flags, const std::u16string& text, UColor shadow,
                                  const Vector3& offset) {
    if (textShadowsOn()) {
        const Vector3 position = pen.position;
        const UColor colour = pen.color;
        pen.position = Vector3{position.x + offset.x, position.y + offset.y, position.z + offset.z};
        pen.color = shadow;
        pen.updateXform();
        drawText(pen, flags, text);
        pen.position = position;
        pen.color = colour;
        pen.updateXform();
    }
    drawText(pen, flags, text);
}

void TextFont::drawTextAt(const Vector3& position, UColor colour, int flags, const std::u16string& text) {
    Renderable pen;
    pen.color = colour;
    pen.setPosition(position.x, position.y, position.z);
    drawText(pen, flags, text);
}

void TextFont::drawTextWithShadowAt(const Vector3& position, UColor colour, int flags, const std::u16string& text,
                                    UColor shadow, const Vector3& offset) {
    Renderable pen;
    pen.color = colour;
    pen.setPosition(position.x, position.y, position.z);
    drawTextWithShadow(pen, flags, text, shadow, offset);
}

std::u16string TextFont::stripMarkup(std::u16string_view text) {
    std::u16string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kColourMarker) {
            i += kColourTokenLength;  // the loop's step passes the marker itself
            continue;
        }
        plain.push_back(text[i]);
    }
    return plain;
}
