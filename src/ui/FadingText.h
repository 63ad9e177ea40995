#pragma once
// The standard text label of the menus and the game's announcements: a text drawn with
// a font at the label's transform, with an optional start delay, a lifetime, a fade-in
// and a fade-out of its alpha, an optional drop shadow, and removal of itself at the end
// of its lifetime.
//
// States: waiting (delay > 0, not drawn), living (fading in, full, fading out), over
// (age = lifetime: not drawn; flagged for deletion with bAutoRemove). The fade is the
// alpha byte of the colour; the other three bytes stay as given. Times in seconds.
#include <cstdint>
#include <string>

#include "render/Renderable.h"

class TextFont;

class FadingText : public Renderable {
public:
    static constexpr double kForever = 999999.0;

    // font: not owned, may be null (nothing drawn, width 0).
    FadingText(float x, float y, float z, std::u16string text, TextFont* font, UColor colour);

    void tick(double time, double dt) override;
    void render() override;

    // Shrinks the label horizontally so that its text is at most maxWidth wide.
    void fitToWidth(int maxWidth);
    // The alpha byte of the colour.
    int getAlpha() const { return static_cast<int>(color >> 24); }

    std::uint8_t bAutoRemove = 1;  // flag itself for deletion when the lifetime is over
    std::uint8_t bShadow = 1;      // drop shadow (2, -2) at a quarter of the text's alpha
    double delay = 0.0;            // s before the label starts to live
    double lifetime = kForever;    // s it lives after the delay
    double fadeIn = 0.0;           // s
    double fadeOut = 0.0;          // s
    int layoutFlags = 5;           // the font's layout flags (5: centred on x)
    UColor backing = 0;            // a plate behind the text (TextBacking), 0 none; fades with the text
    TextFont* font = nullptr;      // not owned
    std::u16string text;
    double age = 0.0;  // s lived since the delay ran out

private:
    void setAlpha(int alpha);
};
