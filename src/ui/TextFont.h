#pragma once
// What the menus need of a bitmap font: measuring a text, the line height, and drawing a
// text at a pen's transform and colour. The menu widgets and the text layout hold fonts
// through this interface; MenuFonts hands out the game's five fonts behind it.
//
// Units are virtual pixels at the font's scale. Layout flags are the font's: 0x04 centre
// on x, 0x08 end at x, 0x10 centre on y, 0x20 bottom at y, 0x200 fall back to a system
// typeface for missing glyphs; 0x01 and 0x02 mean nothing in drawing.
#include <string>
#include <string_view>

#include "engine/Vector3.h"
#include "render/UColor.h"

class Renderable;

class TextFont {
public:
    virtual ~TextFont() = default;

    // Width and height of `text` as drawn.
    virtual Vector3 measureText(std::u16string_view text) const = 0;
    // The same as drawn with the layout `flags`: under 0x200 by the fallback typeface.
    virtual Vector3 measureTextAs(std::u16string_view text, int flags) const;
    // The same with colour markup (U+001E and the 8 characters after it) taking no room.
    virtual Vector3 getMarkedTextSize(std::u16string_view text) const;
    // The distance from one line's top to the next: the scaled glyph height, whole units.
    virtual int getLineHeight() const = 0;
    // Draws `text` with `pen`'s world transform and colour.
    virtual void drawText(Renderable& pen, int flags, const std::u16string& text) = 0;
    // The text once offset by `offset` in `shadow`, then normally; the shadow only while
    // textShadowsOn().
    virtual void drawTextWithShadow(Renderable& pen, int flags, const std::u16string& text, UColor shadow,
                                    const Vector3& offset);
    // A temporary pen at `position` in `colour`.
    void drawTextAt(const Vector3& position, UColor colour, int flags, const std::u16string& text);
    void drawTextWithShadowAt(const Vector3& position, UColor colour, int flags, const std::u16string& text,
                              UColor shadow, const Vector3& offset);

    // U+001E starts a colour marker of this many characters after it.
    static constexpr char16_t kColourMarker = u'\x1E';
    static constexpr std::size_t kColourTokenLength = 8;
    // Whether drop shadows are drawn: the graphics service's detail option, on without one.
    static bool textShadowsOn();
    // `text` with every colour marker and its token removed.
    static std::u16string stripMarkup(std::u16string_view text);
};
