#pragma once
// A menu item whose value is a short line of text typed while the pointer is over it,
// shown centred on the plate with a blinking cursor. Only the characters of
// allowedCharacters are taken (printable ASCII without the backtick and the tilde), up
// to maxLength of them; backspace removes the last one.
//
// While hovered the item copies its text into the bound string every frame (commit), so
// the owning screen reads the value there; moving the pointer away stops typing and
// leaves the last value in place. Subclasses may store the text elsewhere (commit) or
// react to keys (onTextChanged). The bound string is not owned and must outlive the item.
#include <cstdint>
#include <string>

#include "ui/MenuItem.h"

class TextField : public MenuItem {
public:
    static constexpr char16_t kBackspace = 8;
    // The typed text stands on the edit box's light, frosted face: ink, and a deep red
    // while hovered, both above 4.5:1 against every shade of that face.
    static constexpr UColor kTypedColour = 0xFF161F3Au;
    static constexpr UColor kTypedHoverColour = 0xFFA01010u;

    // bound: may be null; the text starts as a copy of it. maxLength: UTF-16 units.
    TextField(float x, float y, float z, std::u16string* bound, std::int32_t maxLength, std::u16string caption,
              std::u16string helpText);

    void tick(double time, double dt) override;
    void drawValue(float x, float y, float z) override;
    // After every typed character other than backspace that the field accepts, appended
    // or not (a full field still tells); nothing here.
    virtual void onTextChanged();
    // Hands the text to the bound string.
    virtual void commit();

    // Applies one typed character to `text`: backspace, or an accepted character while
    // there is room. False for a character the field does not accept.
    bool type(char16_t c);
    bool accepts(char16_t c) const;

    std::u16string allowedCharacters;
    std::u16string text;
    std::int32_t maxLength;
    std::u16string* pBound;  // not owned, may be null
    std::uint8_t bCursorVisible = 0;
};
