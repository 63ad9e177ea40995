#include <gtest/gtest.h>

#include "game/AnnouncementText.h"
#include "support/MenuTestEngine.h"

namespace {
class AnnouncementTextTest : public ::testing::Test {
protected:
    AnnouncementTextTest() : line(&engine.font, 0xFFFFFFFFu) { line.fadeTime = 0.25; }
    void run(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += 0.03125) line.tick(0.0, 0.03125);
    }
    MenuTestEngine engine;
    AnnouncementText line;
};
}  // namespace

TEST_F(AnnouncementTextTest, FadesInHoldsFadesOutAndIsThenNoLongerDrawn) {
    line.show(u"Wave 3", 3.0, 0);
    line.tick(0.0, 0.0);
    EXPECT_EQ(line.getAlpha(), 0);
    run(0.25);
    EXPECT_EQ(line.getAlpha(), 255);
    run(2.625);  // 2.875 s: half-way out
    EXPECT_EQ(line.getAlpha(), 127);
    line.render();
    ASSERT_EQ(engine.font.drawn.size(), 2u);
    EXPECT_EQ(engine.font.drawn[0].colour, 0x1F000000u);  // the shadow, at a quarter
    EXPECT_FLOAT_EQ(engine.font.drawn[1].position.y, 100.0f);
    run(1.0);
    EXPECT_EQ(line.getAlpha(), 0);
    engine.font.drawn.clear();
    line.render();
    EXPECT_TRUE(engine.font.drawn.empty());
}

TEST_F(AnnouncementTextTest, AShortLineStartsFadingOutBeforeFullStrength) {
    line.show(u"uh-oh!", 0.375, 0);
    run(0.1875);
    EXPECT_EQ(line.getAlpha(), 191);
    run(0.0625);
    EXPECT_EQ(line.getAlpha(), 127);
}
