#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/FadingText.h"

namespace {
class FadingTextTest : public ::testing::Test {
protected:
    // Ticks `label` until `seconds` have passed, in steps of 1/16 s.
    void run(FadingText& label, double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += 0.0625) label.tick(0.0, 0.0625);
    }
    MenuTestEngine engine;
};

TEST_F(FadingTextTest, WaitsFadesInHoldsFadesOutAndGoes) {
    FadingText label(0, 0, 0, u"Hi", &engine.font, 0xFF102030u);
    label.delay = 1.0;
    label.lifetime = 2.0;
    label.fadeIn = 0.5;
    label.fadeOut = 0.5;
    // The tick that ends the delay already counts towards the age.
    run(label, 0.9375);
    label.render();
    EXPECT_TRUE(engine.font.drawn.empty());  // still waiting
    run(label, 0.4375);                      // age 0.4375
    EXPECT_LT(label.getAlpha(), 255);
    run(label, 0.0625);
    EXPECT_EQ(label.getAlpha(), 255);
    run(label, 1.25);  // age 1.75, half-way out
    EXPECT_EQ(label.getAlpha(), 128);
    EXPECT_EQ(label.color & 0x00FFFFFFu, 0x00102030u);
    run(label, 0.25);
    EXPECT_EQ(label.getAlpha(), 0);
    EXPECT_FALSE(label.pendingDelete);
    label.tick(0.0, 0.0625);
    EXPECT_TRUE(label.pendingDelete);
}

TEST_F(FadingTextTest, WithoutFadesTheGivenAlphaStaysAndTheDefaultLifetimeNeverEnds) {
    FadingText label(0, 0, 0, u"Hi", &engine.font, 0x80FFFFFFu);
    run(label, 100.0);
    EXPECT_EQ(label.getAlpha(), 0x80);
    EXPECT_FALSE(label.pendingDelete);
}

TEST_F(FadingTextTest, TheShadowFadesWithTheTextAtAQuarterStrength) {
    FadingText label(10, 20, 0, u"Hi", &engine.font, 0xFFFFFFFFu);
    label.render();
    ASSERT_EQ(engine.font.drawn.size(), 2u);
    EXPECT_EQ(engine.font.drawn[0].colour, 0x40000000u);
    EXPECT_FLOAT_EQ(engine.font.drawn[0].position.x, 12.0f);
    EXPECT_FLOAT_EQ(engine.font.drawn[0].position.y, 18.0f);
    EXPECT_EQ(engine.font.drawn[1].flags, 5);
    engine.font.drawn.clear();
    label.color = 0x00FFFFFFu;
    label.render();
    EXPECT_EQ(engine.font.drawn[0].colour, 0x00000000u);
}

TEST_F(FadingTextTest, FitToWidthOnlyShrinks) {
    FadingText wide(0, 0, 0, std::u16string(20, u'x'), &engine.font, 0xFFFFFFFFu);  // 200 wide
    wide.fitToWidth(100);
    EXPECT_FLOAT_EQ(wide.scale.x, 0.5f);
    EXPECT_FLOAT_EQ(wide.scale.y, 1.0f);
    FadingText narrow(0, 0, 0, std::u16string(8, u'x'), &engine.font, 0xFFFFFFFFu);
    narrow.fitToWidth(100);
    EXPECT_FLOAT_EQ(narrow.scale.x, 1.0f);
}
}  // namespace
