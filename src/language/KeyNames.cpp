#include "language/KeyNames.h"

#include "engine/Format.h"
#include "language/StringIds.h"

namespace {

// The scan codes of the keyboard names DIK_ESCAPE..DIK_MEDIASELECT, in id order: the
// values of the keyboard constants those names come from.
constexpr std::array<unsigned char, KeyNames::kKeyboardNameCount> kScanCodes = {
    1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,
    22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,
    43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,
    64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  86,
    87,  88,  100, 101, 102, 112, 115, 121, 123, 125, 126, 141, 144, 145, 146, 147, 148, 149, 150, 151, 153,
    156, 157, 160, 161, 162, 164, 174, 176, 178, 179, 181, 183, 184, 197, 199, 200, 201, 203, 205, 207, 208,
    209, 210, 211, 219, 220, 221, 222, 223, 227, 229, 230, 231, 232, 233, 234, 235, 236, 237,
};
static_assert(StringId::DIK_MEDIASELECT - StringId::DIK_ESCAPE + 1 == KeyNames::kKeyboardNameCount);

constexpr int kJoystickDirectionIds[] = {StringId::DIK_JOYUP, StringId::DIK_JOYDOWN, StringId::DIK_JOYLEFT,
                                         StringId::DIK_JOYRIGHT};

void nameJoystick(KeyNames& keys, const TextRow& texts, int joystick) {
    const int first = KeyNames::kFirstJoystickCode + joystick * KeyNames::kCodesPerJoystick;
    const int number = joystick + 1;
    for (int direction = 0; direction < 4; ++direction) {
        keys.names[first + direction] = formatString(u"(%d) %s", number, texts[kJoystickDirectionIds[direction]]);
    }
    for (int button = 0; button < KeyNames::kJoystickButtonCount; ++button) {
        keys.names[first + KeyNames::kFirstJoystickButton + button] =
            formatString(u"(%d) %s", number, texts[StringId::DIK_JOYBUTTON0 + button]);
    }
}

}  // namespace

// Later steps overwrite earlier ones, so every code first gets the numbered default.
void KeyNames::build(const TextRow& texts) {
    for (int code = 0; code < kCodeCount; ++code) {
        names[code] = formatString(u"%s-%d", texts[StringId::DIK_UNKNOWN], code);
    }
    names[0].clear();
    for (int i = 0; i < kKeyboardNameCount; ++i) {
        names[kScanCodes[i]] = texts[StringId::DIK_ESCAPE + i];
    }
    for (int joystick = 0; joystick < kJoystickCount; ++joystick) {
        nameJoystick(*this, texts, joystick);
    }
    for (int i = 0; i < 8; ++i) {
        names[kFirstMouseCode + i] = texts[StringId::DIK_MOUSEUP + i];
    }
}

const std::u16string& KeyNames::get(int code) const {
    static const std::u16string kNone;
    return code >= 0 && code < kCodeCount ? names[code] : kNone;
}
