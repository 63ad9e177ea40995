#include "ui/FadingText.h"

#include <algorithm>
#include <cmath>

#include "ui/TextBacking.h"
#include "ui/TextFont.h"

FadingText::FadingText(float x, float y, float z, std::u16string text_, TextFont* font_, UColor colour)
    : font(font_), text(std::move(text_)) {
    color = colour;
    setPosition(x, y, z);
}

void FadingText::setAlpha(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    color = (color & 0x00FFFFFFu) | static_cast<UColor>(alpha) << 24;
}

// Children are not ticked: a label is a leaf.
void FadingText::tick(double, double dt) {
    if (delay > 0.0) delay -= dt;
    if (delay > 0.0) return;
    if (age >= lifetime) {
        if (bAutoRemove) pendingDelete = 1;
        return;
    }
    age = std::min(age + dt, lifetime);
    if (fadeIn <= 0.0 && fadeOut <= 0.0) return;
    if (age < fadeIn)
        setAlpha(static_cast<int>(std::lround(age / fadeIn * 255.0)));
    else if (age <= lifetime - fadeOut)
        setAlpha(255);
    else
        setAlpha(static_cast<int>(std::lround((lifetime - age) / fadeOut * 255.0)));
}

void FadingText::render() {
    if (bHidden || delay > 0.0 || age >= lifetime || !font) return;
    const UColor backingAlpha = (backing >> 24) * static_cast<UColor>(getAlpha()) / 255u;
    TextBacking::draw(*font, position, scale, layoutFlags, text, backingAlpha << 24 | (backing & 0x00FFFFFFu));
    if (bShadow) {
        const UColor shadowAlpha = static_cast<UColor>(getAlpha() * 64 / 255);
        font->drawTextWithShadow(*this, layoutFlags, text, shadowAlpha << 24, Vector3{2.0f, -2.0f, 0.0f});
    } else {
        font->drawText(*this, layoutFlags, text);
    }
}

void FadingText::fitToWidth(int maxWidth) {
    const float width = font ? font->measureText(text).x : 0.0f;
    if (width <= static_cast<float>(maxWidth)) return;
    scale = Vector3{static_cast<float>(maxWidth) / width, 1.0f, 1.0f};
    updateXform();
}
