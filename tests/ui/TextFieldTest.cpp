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
    // One frame with `c` typed and the pointer at `at` (world units).
    void typeAt(TextField& field, char16_t c, Vector3 at = {0.0f, 0.0f, 0.0f}) {
        engine.input().typedChar = c;
        engine.tickIn(screen, field, at);
        engine.input().typedChar = 0;
    }
    MenuTestEngine engine;
    Context screen;
};

TEST_F(TextFieldTest, TakesPrintableAsciiButBacktickAndTildeUpToItsLength) {
    std::u16string bound = u"ab";
    CountingField field(0.0f, 0.0f, 0.0f, &bound, 4, u"Name", u"");
    EXPECT_EQ(field.allowedCharacters.size(), 94u);
    for (char16_t c : {u'`', u'~', char16_t{13}, char16_t{0xE9}}) typeAt(field, c);
    EXPECT_EQ(bound, u"ab");
    EXPECT_EQ(field.changes, 0);  // characters it does not take are no keystrokes for it
    for (char16_t c : {u' ', u'}', u'x'}) typeAt(field, c);
    EXPECT_EQ(bound, u"ab }");  // the fifth does not fit, and still tells
    EXPECT_EQ(field.changes, 3);
    for (int i = 0; i < 5; ++i) typeAt(field, TextField::kBackspace);
    EXPECT_EQ(bound, u"");
    EXPECT_EQ(field.changes, 3);
}

TEST_F(TextFieldTest, TypingAndTheCursorFollowThePointer) {
    std::u16string bound;
    TextField field(0.0f, 0.0f, 0.0f, &bound, 8, u"Name", u"");
    typeAt(field, u'a');
    EXPECT_EQ(field.bCursorVisible, 1);
    typeAt(field, u'b', {500.0f, 500.0f, 0.0f});
    EXPECT_EQ(field.text, u"a");
    EXPECT_EQ(field.bCursorVisible, 0);
    EXPECT_EQ(bound, u"a");  // the last value stays bound
    Context* previous = qor->pCurrentContext;
    qor->pCurrentContext = &screen;
    screen.pointer = Vector3{0.0f, 0.0f, 0.0f};
    field.tick(0.125, 0.0);  // the cursor's off phase of its four blinks a second
    EXPECT_EQ(field.bCursorVisible, 0);
    field.bDisabled = 1;
    field.tick(0.25, 0.0);
    EXPECT_EQ(field.bCursorVisible, 0);
    qor->pCurrentContext = previous;
}

TEST_F(TextFieldTest, AFixedFieldShowsAndKeepsWhatItsRecordHolds) {
    FixedString32 record;
    record.assign(std::u16string(15, u'\u00E9'));  // 30 bytes of UTF-8
    FixedTextField field(0.0f, 0.0f, 0.0f, &record, 40, u"Name", u"");
    EXPECT_EQ(field.text, std::u16string(15, u'\u00E9'));
    typeAt(field, u'a');
    typeAt(field, u'b');
    EXPECT_EQ(FixedTextField::read(record), std::u16string(15, u'\u00E9') + u"a");
    EXPECT_EQ(field.text, FixedTextField::read(record));
    std::memset(record.bytes, 'z', sizeof(record.bytes));  // no NUL: the field ends with its bytes
    EXPECT_EQ(FixedTextField::read(record), std::u16string(32, u'z'));
}
}  // namespace
