#include <gtest/gtest.h>

#include <cstring>

#include "support/MenuTestEngine.h"
#include "ui/FixedTextField.h"
#include "ui/TextField.h"

namespace {
class CountingField : public TextField {
public:
    using TextField::TextField;
    void onTextChanged() override { ++changes; }
    int changes = 0;
};

class TextFieldTest : public ::testing::Test {
protected:
    // One frame at `time` s with `c` typed and the pointer at (x, 0) in world units.
    void typeAt(TextField& field, char16_t c, float x = 0.0f, double time = 0.0) {
        engine.input().typedChar = c;
        screen.pointer = Vector3{x, 0.0f, 0.0f};
        qor->pCurrentContext = &screen;
        field.tick(time, 0.0);
        qor->pCurrentContext = nullptr;
    }
    MenuTestEngine engine;
    Context screen;
};

TEST_F(TextFieldTest, TakesPrintableAsciiButBacktickAndTildeUpToItsLength) {
    std::u16string bound = u"ab";
    CountingField field(0.0f, 0.0f, 0.0f, &bound, 4, u"Name", u"");
    for (char16_t c : std::u16string_view(u"`~\r\u00E9")) typeAt(field, c);
    EXPECT_EQ(bound, u"ab");
    EXPECT_EQ(field.changes, 0);  // characters it does not take are no keystrokes for it
    for (char16_t c : std::u16string_view(u" }x")) typeAt(field, c);
    EXPECT_EQ(bound, u"ab }");  // the fifth does not fit, and still tells
    EXPECT_EQ(field.changes, 3);
    for (int i = 0; i < 5; ++i) typeAt(field, TextField::kBackspace);
    EXPECT_EQ(bound, u"");
}

TEST_F(TextFieldTest, TypingAndTheBlinkingCursorFollowThePointer) {
    std::u16string bound;
    TextField field(0.0f, 0.0f, 0.0f, &bound, 8, u"Name", u"");
    typeAt(field, u'a');
    EXPECT_EQ(field.bCursorVisible, 1);
    typeAt(field, u'a', 0.0f, 0.125);  // the off phase of four blinks a second
    EXPECT_EQ(field.bCursorVisible, 0);
    typeAt(field, u'b', 500.0f, 0.25);
    EXPECT_EQ(field.bCursorVisible, 0);
    EXPECT_EQ(bound, u"aa");  // the last value stays bound
}

TEST_F(TextFieldTest, AFixedFieldShowsAndKeepsWhatItsRecordHolds) {
    FixedString32 record;
    record.assign(std::u16string(15, u'\u00E9'));  // 30 bytes of UTF-8
    FixedTextField field(0.0f, 0.0f, 0.0f, &record, 40, u"Name", u"");
    typeAt(field, u'a');
    typeAt(field, u'b');
    EXPECT_EQ(field.text, std::u16string(15, u'\u00E9') + u"a");
    EXPECT_EQ(FixedTextField::read(record), field.text);
    std::memset(record.bytes, 'z', sizeof(record.bytes));  // no NUL: the field ends with its bytes
    EXPECT_EQ(FixedTextField::read(record), std::u16string(32, u'z'));
}
}  // namespace
