#include "ui/TextField.h"

#include <algorithm>
#include <cmath>

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "ui/TextFont.h"

namespace {
// Space, '!' to '_', the apostrophe once more, then 'a' to '}': all of printable ASCII
// but the backtick and the tilde.
std::u16string defaultAllowedCharacters() {
    std::u16string s(1, u' ');
    for (char16_t c = 0x21; c <= 0x5F; ++c) s.push_back(c);
    s.push_back(0x27);
    for (char16_t c = 0x61; c <= 0x7D; ++c) s.push_back(c);
    return s;
}

bool cursorPhase(double time) { return static_cast<long long>(std::floor(time * 8.0)) % 2 == 0; }
}  // namespace

TextField::TextField(float x, float y, float z, std::u16string* bound, std::int32_t maxLength_, std::u16string caption_,
                     std::u16string helpText_)
    : MenuItem(x, y, z, std::move(caption_), std::move(helpText_)),
      allowedCharacters(defaultAllowedCharacters()),
      text(bound ? *bound : std::u16string()),
      maxLength(maxLength_),
      pBound(bound) {
    normalColour = captionColour = kTypedColour;
    highlightColour = kTypedHoverColour;
}

bool TextField::accepts(char16_t c) const { return c != 0 && allowedCharacters.find(c) != std::u16string::npos; }

bool TextField::type(char16_t c) {
    if (c == kBackspace) {
        if (!text.empty()) text.pop_back();
        return true;
    }
    // A character the field does not take is no keystroke for it at all.
    if (!accepts(c)) return false;
    if (text.size() < static_cast<std::size_t>(std::max(maxLength, 0))) text.push_back(c);
    return true;
}

void TextField::tick(double time, double dt) {
    MenuItem::tick(time, dt);
    if (bDisabled || !bHovered) {
        bCursorVisible = 0;
        return;
    }
    const char16_t c = qor->input().typedChar;
    if (c != 0 && type(c) && c != kBackspace) onTextChanged();
    commit();
    bCursorVisible = cursorPhase(time) ? 1 : 0;
}

void TextField::onTextChanged() {}

void TextField::commit() {
    if (pBound && pBound != &text) *pBound = text;
}

void TextField::drawValue(float x, float y, float z) {
    if (!pFont) return;
    const float fit = getTextFitScale(text, std::trunc(getFrameWidth() - getFrameHeight()));
    const Vector3 s{fit * scale.x, fit * scale.y, fit * scale.z};
    // The text with its cursor stays centred, whether the cursor shows or not.
    x -= std::trunc(pFont->measureText(text + u"_").x * s.x * 0.5f);
    Renderable pen;
    pen.position = Vector3{x, y, z};
    pen.rotation = rotation;
    pen.scale = s;
    pen.color = captionColour;
    pen.updateXform();
    pFont->drawText(pen, 0x12, bCursorVisible ? text + u"_" : text);
}
