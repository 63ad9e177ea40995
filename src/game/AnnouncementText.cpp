#include "game/AnnouncementText.h"

#include <algorithm>

#include "engine/Vector3.h"
#include "ui/FontQuadTextFont.h"
#include "ui/TextFont.h"

AnnouncementText::AnnouncementText(TextFont* font, UColor colour_) : pFont(font), colour(colour_) {}

AnnouncementText::AnnouncementText(FontQuad* font, UColor colour_)
    : colour(colour_), ownFont(font ? std::make_unique<FontQuadTextFont>(font) : nullptr) {
    pFont = ownFont.get();
}

AnnouncementText::~AnnouncementText() = default;

void AnnouncementText::show(std::u16string text_, double duration_, std::int32_t tag_) {
    text = std::move(text_);
    duration = duration_;
    tag = tag_;
    elapsed = 0.0;
}

void AnnouncementText::update(double, double dt) {
    if (duration > elapsed) elapsed = std::min(elapsed + dt, duration);
    colour = (colour & 0x00FFFFFFu) | static_cast<UColor>(fadeAlpha()) << 24;
}

// The fade-in wins while it lasts, so a line shorter than two fades starts fading out
// before it has reached full strength.
int AnnouncementText::fadeAlpha() const {
    double alpha = 255.0;
    if (elapsed < fadeTime)
        alpha = 255.0 * elapsed / fadeTime;
    else if (elapsed > duration - fadeTime)
        alpha = 255.0 * (duration - elapsed) / fadeTime;
    return std::clamp(static_cast<int>(alpha), 0, 255);
}

void AnnouncementText::render() {
    if (!isShowing() || !pFont) return;
    const Vector3 at{0.0f, static_cast<float>(y), 0.0f};
    if (!bShadow) {
        pFont->drawTextAt(at, colour, kCentred, text);
        return;
    }
    const UColor shadow = static_cast<UColor>(getAlpha() / 4) << 24;
    pFont->drawTextWithShadowAt(at, colour, kCentred, text, shadow, Vector3{2.0f, -2.0f, 0.0f});
}
