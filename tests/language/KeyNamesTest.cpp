#include <gtest/gtest.h>

#include <string>

#include "engine/Format.h"
#include "language/KeyNames.h"
#include "language/StringIds.h"

namespace {

struct Rows {
    TextRow english = {};
    TextRow german = {};
    Rows() {
        fillTextRow(english, englishTexts());
        fillTextRow(german, germanTexts());
    }
};

KeyNames built(const TextRow& texts) {
    KeyNames names;
    names.names.fill(u"stale");
    names.build(texts);
    return names;
}

TEST(KeyNames, KeyboardNames) {
    const Rows rows;
    const KeyNames english = built(rows.english);
    EXPECT_EQ(english.get(0), u"");
    EXPECT_EQ(english.get(1), u"Esc");
    EXPECT_EQ(english.get(57), u"Space");
    EXPECT_EQ(english.get(28), u"Enter");
    EXPECT_EQ(english.get(156), u"Num Enter");
    EXPECT_EQ(english.get(237), u"MEDIASELECT");
    EXPECT_EQ(english.get(200), u"\u0005");
    EXPECT_EQ(english.get(203), u"\u0003");
    EXPECT_EQ(english.get(205), u"\u0004");
    EXPECT_EQ(english.get(208), u"\u0006");

    const KeyNames german = built(rows.german);
    EXPECT_EQ(german.get(0), u"");
    EXPECT_EQ(german.get(21), u"Z");
    EXPECT_EQ(german.get(44), u"Y");
    EXPECT_EQ(german.get(12), u"ESZETT");
    EXPECT_EQ(german.get(26), u"Ü");
    EXPECT_EQ(german.get(39), u"Ö");
    EXPECT_EQ(german.get(40), u"Ä");
    EXPECT_EQ(german.get(69), u"NUM\t\t");
    EXPECT_EQ(german.get(200), u"\u0005");
    EXPECT_EQ(german.get(208), u"\u0006");
}

TEST(KeyNames, UnnamedCodesGetTheNumberedUnknownName) {
    const Rows rows;
    const KeyNames english = built(rows.english);
    const KeyNames german = built(rows.german);
    for (int code : {84, 85, 89, 99, 255, 260, 271, 447 - 32 - 48}) {
        EXPECT_EQ(english.get(code), formatString(u"UNKNOWN-%d", code));
        EXPECT_EQ(german.get(code), formatString(u"UNBEKANNT-%d", code));
    }
    int named = 0;
    for (int code = 0; code < KeyNames::kCodeCount; ++code) {
        if (english.get(code).rfind(u"UNKNOWN-", 0) != 0) ++named;
    }
    EXPECT_EQ(named, 297);  // code 0, 144 keys, 4 x 36 joystick codes, 8 mouse codes
}

TEST(KeyNames, JoysticksCarryTheirNumber) {
    const Rows rows;
    const KeyNames english = built(rows.english);
    EXPECT_EQ(english.get(256), u"(1) JOYUP");
    EXPECT_EQ(english.get(259), u"(1) JOYRIGHT");
    EXPECT_EQ(english.get(272), u"(1) JOYBUTTON0");
    EXPECT_EQ(english.get(304), u"(2) JOYUP");
    EXPECT_EQ(english.get(447), u"(4) JOYBUTTON31");
    const KeyNames german = built(rows.german);
    EXPECT_EQ(german.get(400), u"(4) JOY-HOCH");
    EXPECT_EQ(german.get(447), u"(4) JOY-KNOPF31");
}

TEST(KeyNames, MouseNamesHaveNoPrefix) {
    const Rows rows;
    const KeyNames english = built(rows.english);
    EXPECT_EQ(english.get(448), u"MOUSEUP");
    EXPECT_EQ(english.get(455), u"MOUSE BUTTON 3");
    const KeyNames german = built(rows.german);
    EXPECT_EQ(german.get(451), u"MAUS-RECHTS");
    EXPECT_EQ(german.get(455), u"MAUS-KNOPF3");
}

TEST(KeyNames, CodesOutsideTheRangeHaveNoName) {
    const Rows rows;
    const KeyNames english = built(rows.english);
    EXPECT_EQ(english.get(-1), u"");
    EXPECT_EQ(english.get(KeyNames::kCodeCount), u"");
}

}  // namespace
