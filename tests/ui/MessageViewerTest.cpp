// The message viewer: wrapping into entries, the bound on their number, the fade after
// the last message and where the entries are drawn.
#include <gtest/gtest.h>

#include "engine/TimeKeeper.h"
#include "support/MenuTestEngine.h"
#include "ui/MessageViewer.h"

namespace {
class MessageViewerTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
    MessageViewer viewer;  // the fake font: 10 units a character, lines 24 high
};

TEST_F(MessageViewerTest, LongMessagesWrapIntoEntriesAndOnlyTheNewestNineStay) {
    EXPECT_EQ(viewer.wrapWidth, 790);
    EXPECT_EQ(viewer.lineStep, -24.0f);
    // Three 300-unit words: two fit on the 790-unit line, the third wraps.
    const std::u16string word(30, u'w');
    viewer.addMessage(word + u" " + word + u" " + word);
    EXPECT_EQ(viewer.entries.size(), 2u);
    viewer.addMessage(u"one|two|three");
    EXPECT_EQ(viewer.entries.size(), 5u);
    for (char16_t digit = u'0'; digit < u'6'; ++digit) viewer.addMessage(std::u16string{u'm', digit});
    ASSERT_EQ(viewer.entries.size(), 9u);
    EXPECT_EQ(viewer.entries.front(), u"one");
    EXPECT_EQ(viewer.entries.back(), u"m5");
}

TEST_F(MessageViewerTest, WithAFadeTimeTheListFadesDuringTheLastSecond) {
    viewer.addMessage(u"hello");
    viewer.tick(0.0, 0.0);
    EXPECT_EQ(viewer.visibility, 1.0f);  // no fade time: always shown
    viewer.fadeTime = 5.0;
    const double now = qor->timeKeeper().getPhysicalTime();
    for (auto [ago, expected] : {std::pair{3.5, 1.0f}, {4.5, 0.5f}, {6.0, 0.0f}}) {
        viewer.lastMessageTime = now - ago;
        viewer.tick(0.0, 0.0);
        EXPECT_NEAR(viewer.visibility, expected, 0.05f) << ago;
    }
    engine.font.drawn.clear();
    viewer.render();
    EXPECT_TRUE(engine.font.drawn.empty());
}

TEST_F(MessageViewerTest, GrowingUpPutsTheNewestAtThePositionAndDimsTheOlder) {
    viewer.setPosition(10.0f, 100.5f, 0.0f);
    for (const char16_t* m : {u"a", u"b", u"c"}) viewer.addMessage(m);
    viewer.bGrowUp = 1;
    viewer.bDimOlder = 1;
    viewer.render();
    const auto& drawn = engine.font.drawn;
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].position.y, 148.0f);  // two steps above, truncated
    EXPECT_EQ(drawn[2].position.y, 100.0f);
    EXPECT_EQ(drawn[2].text, u"c");
    EXPECT_EQ(drawn[0].colour, 0xFF808080u);
    EXPECT_EQ(drawn[2].colour, 0xFFFFFFFFu);
    EXPECT_EQ(drawn[0].flags, 4);
}
}  // namespace
