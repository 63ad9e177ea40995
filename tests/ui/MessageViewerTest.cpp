// The message viewer: wrapping into entries, the bound on their number, the fade after
// the last message and where the entries are drawn, within the band they keep to.
#include <gtest/gtest.h>

#include <vector>

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

TEST_F(MessageViewerTest, AListThatWouldLeaveItsBandIsDrawnRaisedOrSmallerToFillIt) {
    for (const char16_t* m : {u"a", u"b", u"c"}) viewer.addMessage(m);
    viewer.centreVertically(0.0f);
    auto tops = [this] {
        engine.font.drawn.clear();
        viewer.render();
        std::vector<float> y;
        for (const auto& d : engine.font.drawn) y.push_back(d.position.y);
        return y;
    };
    viewer.bandTop = 100.5f;
    viewer.bandBottom = -36.5f;  // room for the list where it was placed: it stays there
    EXPECT_EQ(tops(), (std::vector<float>{36.0f, 12.0f, -12.0f}));
    viewer.bandBottom = -30.5f;  // raised until its last entry ends on the band's lowest whole unit
    EXPECT_EQ(tops(), (std::vector<float>{42.0f, 18.0f, -6.0f}));
    for (const char16_t* m : {u"d", u"e", u"f"}) viewer.addMessage(m);
    // 144 units of entries in 130: the band's top, and each entry 130/144 of its size.
    const float fit = 130.0f / 144.0f;
    EXPECT_FLOAT_EQ(viewer.getFitScale(), fit);
    const std::vector<float> y = tops();
    ASSERT_EQ(y.size(), 6u);
    EXPECT_EQ(y[0], 100.0f);
    EXPECT_NEAR(y[5] - 24.0f * fit, -30.0f, 1e-4f);
}
}  // namespace
