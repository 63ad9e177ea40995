#include "ui/FontQuadTextFont.h"

#include "render/FontQuad.h"
#include "render/TextLayout.h"

FontQuadTextFont::FontQuadTextFont(FontQuad* font_) : font(font_) {}

Vector3 FontQuadTextFont::measureText(std::u16string_view text) const { return measureTextAs(text, 0); }

Vector3 FontQuadTextFont::measureTextAs(std::u16string_view text, int flags) const {
    const TextSizeF size = font->measureText(false, nullptr, flags & TextFlags::kFallback, text);
    return Vector3{size.width, size.height, 0.0f};
}

Vector3 FontQuadTextFont::getMarkedTextSize(std::u16string_view text) const {
    const TextSizeF size = font->getMarkedTextSize(text);
    return Vector3{size.width, size.height, 0.0f};
}

int FontQuadTextFont::getLineHeight() const { return font->fontHeight; }

void FontQuadTextFont::drawText(Renderable& pen, int flags, const std::u16string& text) {
    font->drawText(pen, flags, text);
}

void FontQuadTextFont::drawTextWithShadow(Renderable& pen, int flags, const std::u16string& text, UColor shadow,
                                          const Vector3& offset) {
    font->drawTextWithShadow(pen, flags, offset.x, offset.y, offset.z, shadow, text);
}
