#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/LogoImage.h"

namespace {
class LogoImageTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
};

TEST_F(LogoImageTest, FadesAreClampedAndFullAlphaHoldsOutsideThem) {
    LogoImage logo;
    logo.color = 0x00FFFFFFu;
    logo.fadeIn = 0.5;
    logo.fadeOut = 0.5;
    logo.lifetime = 2.0;
    logo.bAutoRemove = 0;
    logo.tick(0.0, 0.25);
    EXPECT_EQ(logo.color >> 24, 128u);
    logo.tick(0.0, 1.0);
    EXPECT_EQ(logo.color >> 24, 255u);
    logo.tick(0.0, 1.0);  // past its lifetime: the fade ratio stops at 0
    EXPECT_EQ(logo.color >> 24, 0u);
    EXPECT_DOUBLE_EQ(logo.age, 2.25);  // not clamped
    logo.tick(0.0, 1.0);
    EXPECT_FALSE(logo.pendingDelete);
}

TEST_F(LogoImageTest, ItRemovesItselfAtTheEndWhenAsked) {
    LogoImage logo;
    logo.delay = 1.0;
    logo.lifetime = 2.0;
    logo.tick(0.0, 0.5);
    EXPECT_EQ(logo.age, 0.0);
    logo.tick(0.0, 0.5);  // the tick that ends the delay already counts
    EXPECT_EQ(logo.age, 0.5);
    logo.tick(0.0, 1.0);
    EXPECT_FALSE(logo.pendingDelete);
    logo.tick(0.0, 0.5);
    EXPECT_TRUE(logo.pendingDelete);
}
}  // namespace
