#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuItemCheckboxApply.h"

namespace {
class MenuItemCheckboxTest : public ::testing::Test {
protected:
    void press(MenuItemCheckbox& box) {
        engine.input().addMouseContact();
        engine.step();
        engine.tickIn(menu, box, {0, 0, 0});
    }
    MenuTestEngine engine;
    ContextMenu menu;
};

TEST_F(MenuItemCheckboxTest, APressTogglesAndAnythingButZeroUnchecks) {
    std::uint8_t value = 2;
    MenuItemCheckbox box(0, 0, 0, &value, u"Music", u"");
    EXPECT_FLOAT_EQ(box.getFrameWidth(), 50.0f);
    press(box);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(box.bTriggered);
    engine.step();
    press(box);
    EXPECT_EQ(value, 1);
}

TEST_F(MenuItemCheckboxTest, ThePointerBesideTheBoxChangesNothing) {
    std::uint8_t value = 0;
    MenuItemCheckbox box(0, 0, 0, &value, u"Music", u"");
    engine.input().addMouseContact();
    engine.step();
    engine.tickIn(menu, box, {60, 0, 0});
    EXPECT_EQ(value, 0);
}

TEST_F(MenuItemCheckboxTest, TheApplyingBoxDoesNotTrigger) {
    std::uint8_t value = 0;
    MenuItemCheckboxApply box(0, 0, 0, &value, u"Mute", u"");
    press(box);
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(box.bTriggered);
}
}  // namespace
