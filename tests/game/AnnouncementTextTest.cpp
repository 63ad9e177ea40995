#include <gtest/gtest.h>

#include "game/AnnouncementText.h"
#include "support/MenuTestEngine.h"

namespace {
class AnnouncementTextTest : public ::testing::Test {
protected:
    AnnouncementTextTest() : line(&engine.font, 0xFFFFFFFFu) { line.fadeTime = 0.25; }
    // Ticks the line until `seconds` have passed, in steps of 1/32 s.
    void run(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += 0.03125) line.tick(0.0, 0.03125);
    }
    MenuTestEngine engine;
    AnnouncementText line;
};
}  // namespace

TEST_F(AnnouncementTextTest, ALineFadesInHoldsFadesOutAndIsThenNoLongerDrawn) {
    line.show(u"Wave 3", 3.0, 0);
    line.tick(0.0, 0.0);
    EXPECT_EQ(line.getAlpha(), 0);
    run(0.125);
    EXPECT_EQ(line.getAlpha(), 127);  // 127.5 truncated
    run(0.125);
    EXPECT_EQ(line.getAlpha(), 255);
    run(2.5);  // 2.75 s
    EXPECT_EQ(line.getAlpha(), 255);
    run(0.125);
    EXPECT_EQ(line.getAlpha(), 127);
    line.render();
    ASSERT_EQ(engine.font.drawn.size(), 2u);  // shadow, then text
    EXPECT_EQ(engine.font.drawn[0].colour, 0x1F000000u);
    EXPECT_FLOAT_EQ(engine.font.drawn[0].position.x, 2.0f);
    EXPECT_FLOAT_EQ(engine.font.drawn[1].position.y, 100.0f);
    EXPECT_EQ(engine.font.drawn[1].flags, AnnouncementText::kCentred);
    EXPECT_EQ(engine.font.drawn[1].text, u"Wave 3");

    run(1.0);  // past the end: the clock stops at the duration
    EXPECT_DOUBLE_EQ(line.elapsed, 3.0);
    EXPECT_EQ(line.getAlpha(), 0);
    engine.font.drawn.clear();
    line.render();
    EXPECT_TRUE(engine.font.drawn.empty());
}

TEST_F(AnnouncementTextTest, AShortLineStartsFadingOutBeforeFullStrength) {
    line.show(u"uh-oh!", 0.375, 0);
    run(0.1875);  // still fading in: 0.1875 / 0.25
    EXPECT_EQ(line.getAlpha(), 191);
    run(0.0625);  // 0.25: past the fade-in, 0.125 left
    EXPECT_EQ(line.getAlpha(), 127);
}

TEST_F(AnnouncementTextTest, ANewLineReplacesOneStillShowingAndStartsFromZero) {
    line.show(u"Get Ready!", 3.0, 0);
    run(1.0);
    line.show(u"Wave 1", 3.0, 7);
    EXPECT_DOUBLE_EQ(line.elapsed, 0.0);
    EXPECT_EQ(line.tag, 7);
    line.bShadow = 0;
    line.tick(0.0, 0.0);
    line.render();
    ASSERT_EQ(engine.font.drawn.size(), 1u);
    EXPECT_EQ(engine.font.drawn[0].text, u"Wave 1");
    EXPECT_EQ(engine.font.drawn[0].colour, 0x00FFFFFFu);
}
