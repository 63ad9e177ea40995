#include <gtest/gtest.h>

#include <climits>

#include "support/MenuTestEngine.h"
#include "ui/MenuItemValue.h"

namespace {
// The plate is 256 wide: arrows at x = -104 and +104 from its centre.
class MenuItemValueTest : public ::testing::Test {
protected:
    MenuItemValue* item(std::int32_t minimum, std::int32_t maximum, std::int32_t step) {
        auto* v = new MenuItemValue(0, 0, 0, &value, minimum, maximum, step, u"Volume", u"");
        menu.addItem(v);
        return v;
    }
    void clickAt(MenuItemValue* v, float x) {
        engine.input().addMouseContact();
        engine.step();
        engine.tickIn(menu, *v, {x, 0, 0});
    }
    MenuTestEngine engine;
    ContextMenu menu;
    std::int32_t value = 5;
};

TEST_F(MenuItemValueTest, ArrowsStepTheBoundValue) {
    MenuItemValue* v = item(0, 10, 2);
    clickAt(v, 104);
    EXPECT_EQ(value, 7);
    clickAt(v, -110);
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(v->bTriggered);
}

TEST_F(MenuItemValueTest, AtTheMinimumTheLeftArrowStillClicks) {
    value = 0;
    MenuItemValue* v = item(0, 10, 1);
    clickAt(v, -104);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(v->bTriggered);
}

TEST_F(MenuItemValueTest, APressAwayFromTheArrowsOnlyTriggers) {
    MenuItemValue* v = item(0, 10, 1);
    clickAt(v, 0);
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(v->bTriggered);
}

TEST_F(MenuItemValueTest, AValueOutOfRangeIsClampedAtTheNextPressNotBefore) {
    value = 40;
    MenuItemValue* v = item(0, 10, 1);
    engine.tickIn(menu, *v, {0, 0, 0});
    EXPECT_EQ(value, 40);
    clickAt(v, 0);
    EXPECT_EQ(value, 10);
}

TEST_F(MenuItemValueTest, RightToLeftTheLeftArrowRaises) {
    qor->pLanguage->rightToLeft = 1;
    MenuItemValue* v = item(0, 10, 1);
    clickAt(v, -104);
    EXPECT_EQ(value, 6);
}

TEST_F(MenuItemValueTest, StepsNearTheLimitsOfTheNumbersDoNotWrap) {
    value = INT_MAX - 1;
    MenuItemValue* v = item(INT_MIN, INT_MAX, 1000);
    clickAt(v, 104);
    EXPECT_EQ(value, INT_MAX);
}

TEST_F(MenuItemValueTest, BothArrowsAreNavigationPointsAndTheListEnds) {
    MenuItemValue* v = item(0, 10, 1);
    EXPECT_FLOAT_EQ(v->getNavigationPoint(0).x, 400.0f - 104.0f);
    EXPECT_FLOAT_EQ(v->getNavigationPoint(1).x, 400.0f + 104.0f);
    EXPECT_FLOAT_EQ(v->getNavigationPoint(1).y, 240.0f);
    EXPECT_EQ(v->getNavigationPoint(2).z, -1.0f);
}
}  // namespace
