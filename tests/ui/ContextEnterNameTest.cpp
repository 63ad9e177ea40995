#include <gtest/gtest.h>

#include "engine/ChildIterator.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextEnterName.h"
#include "ui/Global.h"
#include "ui/KeyButton.h"
#include "ui/MenuButton.h"

namespace {
using Edit = ContextEnterName::Edit;

std::u16string typed(std::u16string name, std::u16string_view keys) {
    for (char16_t c : keys) ContextEnterName::type(name, c);
    return name;
}

TEST(ContextEnterNameTyping, KeepsSixteenUnitsWithoutSplittingAPair) {
    const std::u16string fifteen(15, u'x');
    const std::u16string pair = u"\U0001F600";
    struct Case {
        std::u16string start, keys, expected;
    };
    for (const Case& c : {
             Case{u"",
                  u"A\x01\x7F\x1B"
                  u"b",
                  u"Ab"},                                             // control characters are ignored
             Case{fifteen, u"yz", fifteen + u"y"},                    // a 17th unit is not taken
             Case{fifteen, pair, fifteen},                            // nor a pair that would need it
             Case{u"ab", pair, u"ab" + pair},                         // a pair that fits comes whole
             Case{u"ab", std::u16string(1, pair[1]), u"ab"},          // a second half alone is nothing
             Case{u"ab", std::u16string(1, pair[0]) + u"c", u"abc"},  // a first half whose partner never came
             Case{u"a" + pair, u"\b", u"a"},                          // backspace takes the pair whole
         }) {
        EXPECT_EQ(typed(c.start, c.keys), c.expected) << std::string(c.keys.begin(), c.keys.end());
    }
    std::u16string name;
    EXPECT_EQ(ContextEnterName::type(name, ContextEnterName::kBackspace), Edit::kNone);  // and so no sound
    EXPECT_EQ(ContextEnterName::type(name, u'a'), Edit::kAppended);
    EXPECT_EQ(ContextEnterName::type(name, pair[0]), Edit::kHalf);
}

TEST(ContextEnterNameTyping, TheKeptNameLosesTrailingBlanksOnly) {
    EXPECT_EQ(ContextEnterName::keptName(u" Ann \t "), u" Ann");
    EXPECT_EQ(ContextEnterName::keptName(u"   "), u"");
    EXPECT_EQ(ContextEnterName::keptName(u"Ann\xD83D"), u"Ann");
}

class ContextEnterNameTest : public ::testing::Test {
protected:
    void SetUp() override { engine.makeGlobal(); }
    // The dialog's living items of type T, in order.
    template <class T>
    std::vector<T*> items(ContextEnterName& dialog) {
        std::vector<T*> found;
        for (ChildIterator it(&dialog); !it.done; it.next())
            if (auto* t = dynamic_cast<T*>(static_cast<QorBase*>(it.current))) found.push_back(t);
        return found;
    }
    MenuTestEngine engine;
};

TEST_F(ContextEnterNameTest, OnTouchInputTheLettersStandInRowsOfSevenAndKeyboardInputKeepsTheName) {
    engine.input().setInputMode(QorInput::kModeTouch);
    auto* dialog = new ContextEnterName(true);
    global->pContextManager->addChild(dialog);
    const std::vector<KeyButton*> keys = items<KeyButton>(*dialog);
    ASSERT_EQ(keys.size(), 28u);
    EXPECT_EQ(keys[7]->character, u'h');
    EXPECT_FLOAT_EQ(keys[7]->position.x, -222.0f);
    EXPECT_FLOAT_EQ(keys[7]->position.y, 0.0f);
    EXPECT_EQ(keys[25]->character, u'z');
    EXPECT_FLOAT_EQ(keys[25]->position.x, 74.0f);
    EXPECT_FLOAT_EQ(keys[26]->position.x, 148.0f);  // space, then backspace
    EXPECT_EQ(keys[27]->character, ContextEnterName::kBackspace);
    EXPECT_FLOAT_EQ(keys[27]->position.y, -100.0f);
    EXPECT_TRUE(dialog->pOkButton->bDisabled);

    keys[0]->onClick();  // the 'a' key
    EXPECT_EQ(dialog->pendingChar, u'a');
    dialog->name = u" Ann ";
    engine.input().setInputMode(QorInput::kModeMouse);
    EXPECT_TRUE(items<KeyButton>(*dialog).empty());
    EXPECT_FLOAT_EQ(dialog->pOkButton->position.y, -80.0f);
    EXPECT_EQ(dialog->name, u" Ann ");
    engine.input().typedChar = ContextEnterName::kReturn;
    global->pContextManager->tick(0.0, 0.0);
    EXPECT_EQ(global->profiles.getProfileName(global->profiles.current), u" Ann");
    EXPECT_TRUE(dialog->bFinished);
}
}  // namespace
