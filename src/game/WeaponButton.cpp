#include "game/WeaponButton.h"

#include <utility>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "render/Easing.h"
#include "render/FontQuad.h"
#include "render/Skin.h"
#include "render/TextLayout.h"
#include "ui/Global.h"

WeaponButton::WeaponButton(std::int32_t side_, std::int32_t amount_, bool bAlternate, std::u16string text_)
    : side(side_), text(std::move(text_)), amount(amount_) {
    pSkin = static_cast<Skin*>(qor->resources().find(true, bAlternate ? u"ovalButtons:3" : u"ovalButtons:2"));
    const GameController* game = GameFx::currentGame();
    if (PlayerData* own = game ? game->getPlayerData(side) : nullptr) own->addMaskedScore(amount);
    position = Vector3{0.0f, kHiddenY, 0.0f};
    updateXform();
}

void WeaponButton::tick(double, double dt) {
    const Vector3 start =
        restPosition + Vector3{static_cast<float>(side) * 2.0f * kSlideDistance - kSlideDistance, 0.0f, 0.0f};
    progress += static_cast<float>(dt / kSlideTime);
    if (progress > 1.0f) progress = 1.0f;
    easeCurve(position, start, restPosition, progress, kEaseOutQuad);
    updateXform();
}

float WeaponButton::textRoom() const {
    const float plate = pSkin ? pSkin->width : kPlateWidth;
    return kTextOffset + plate / 2.0f - kTextMargin;
}

WeaponButton::FittedText WeaponButton::fitText(FontQuad& font) const {
    const float room = textRoom();
    auto width = [&font](std::u16string_view t) { return font.measureText(false, nullptr, 0, t).width; };
    auto squeezed = [&](std::u16string t) {
        const float w = width(t);
        return FittedText{std::move(t), w > room ? room / w : 1.0f};
    };
    const float widest = room / kMinSqueeze;  // the widest text kMinSqueeze brings into the room
    if (width(text) <= widest) return squeezed(text);
    // Binary search for the longest head that fits with the dots; the head never ends
    // between the two halves of a surrogate pair.
    auto cut = [&](std::size_t n) {
        std::u16string head = text.substr(0, n);
        if (!head.empty() && head.back() >= 0xD800 && head.back() <= 0xDBFF) head.pop_back();
        while (!head.empty() && head.back() == u' ') head.pop_back();
        return head + u"...";
    };
    std::size_t fits = 0, fails = text.size();
    while (fails - fits > 1) {
        const std::size_t n = (fits + fails) / 2;
        if (width(cut(n)) <= widest)
            fits = n;
        else
            fails = n;
    }
    return squeezed(cut(fits));
}

void WeaponButton::render() {
    Renderable::render();
    FontQuad* font = global ? global->fonts[Global::kFontSmall] : nullptr;
    if (!font || text.empty()) return;
    const FittedText fitted = fitText(*font);
    // The text stands on the outer side: left-aligned from the left end for side 0,
    // right-aligned to the right end for side 1; a squeeze keeps that end in place.
    const float x = position.x + static_cast<float>(2 * side - 1) * kTextOffset;
    const int flags = side == 0 ? (0x02 | TextFlags::kMiddle) : (TextFlags::kRight | TextFlags::kMiddle);
    Renderable pen;
    placeTextPen(pen, x, position.y, position.z, 0xFFFFFFFFu);
    pen.scale.x = fitted.squeeze;
    pen.updateXform();
    font->drawText(pen, flags, fitted.text);
}
