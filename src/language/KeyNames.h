#pragma once
// The display names of the input codes (0..455): keyboard scan codes 0..255, four
// joysticks of 48 codes from 256 (directions at +0..+3, buttons 0..31 at +16..+47), and
// the mouse directions and buttons at 448..455.
//
// The input service owns one KeyNames; the language service rebuilds every name from the
// current language when the language is set, so a name is always a copy of the current
// language's text and never points into the text tables.
#include <array>
#include <string>

#include "language/TextTables.h"

class KeyNames {
public:
    static constexpr int kCodeCount = 456;
    static constexpr int kJoystickCount = 4;
    static constexpr int kFirstJoystickCode = 256;
    static constexpr int kCodesPerJoystick = 48;
    static constexpr int kFirstJoystickButton = 16;  // offset of button 0 in a joystick's codes
    static constexpr int kJoystickButtonCount = 32;
    static constexpr int kFirstMouseCode = 448;
    static constexpr int kKeyboardNameCount = 144;

    // Rewrites all 456 names from one language's texts, indexed by string id; every
    // entry of `texts` must be non-null. Codes without a name of their own get
    // "<DIK_UNKNOWN text>-<code>"; code 0 is empty; joystick j's names carry "(j+1) ".
    void build(const TextRow& texts);

    // The name of `code`; the empty text for a code outside 0..455.
    const std::u16string& get(int code) const;

    std::array<std::u16string, kCodeCount> names;  // by input code
};
