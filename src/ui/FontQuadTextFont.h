#pragma once
// A loaded bitmap font (FontQuad) seen through the menus' TextFont interface. The font
// is not owned; it must outlive the adapter (the resources live until the end).
#include "ui/TextFont.h"

class FontQuad;

class FontQuadTextFont : public TextFont {
public:
    explicit FontQuadTextFont(FontQuad* font);

    Vector3 measureText(std::u16string_view text) const override;
    Vector3 measureTextAs(std::u16string_view text, int flags) const override;
    Vector3 getMarkedTextSize(std::u16string_view text) const override;
    int getLineHeight() const override;
    void drawText(Renderable& pen, int flags, const std::u16string& text) override;
    void drawTextWithShadow(Renderable& pen, int flags, const std::u16string& text, UColor shadow,
                            const Vector3& offset) override;

    FontQuad* font;  // not owned
};
