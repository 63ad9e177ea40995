#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextMenu.h"
#include "ui/MenuButton.h"
#include "ui/MenuItem.h"

namespace {
class MenuItemTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
    ContextMenu menu;
};

TEST_F(MenuItemTest, RightToLeftMirrorsTheItemAndMovesItsCaption) {
    qor->pLanguage->rightToLeft = 1;
    ContextMenu mirrored;
    MenuItem item(100, 20, 0, u"Caption", u"");
    EXPECT_FLOAT_EQ(item.position.x, -100.0f);
    EXPECT_EQ(item.captionLocation, MenuItem::kCaptionRight);
    MenuButton button(100, 20, 0, u"Caption", u"");
    EXPECT_EQ(button.captionLocation, MenuItem::kCaptionInside);
}

TEST_F(MenuItemTest, FramesAreTheSizeAskedWithTheSkinsOwnHeight) {
    MenuItem item(0, 0, 0, u"", u"");
    EXPECT_FLOAT_EQ(item.getFrameWidth(), 256.0f);
    EXPECT_FLOAT_EQ(item.getFrameHeight(), 48.0f);
    item.setWidth(160.0f);
    EXPECT_FLOAT_EQ(item.getFrameWidth(), 160.0f);
    EXPECT_FLOAT_EQ(item.highlightFace.pSkin->width, 160.0f);
}

TEST_F(MenuItemTest, TheHighestPointIsTheFramesTopOrTheTopOfACaptionAboveIt) {
    MenuItem item(0, 100, 0, u"Caption", u"");
    EXPECT_FLOAT_EQ(item.getHighestY(), 124.0f);  // a caption beside the frame is a line high, less than the frame
    item.captionLocation = MenuItem::kCaptionAbove;
    EXPECT_FLOAT_EQ(item.getHighestY(), 153.0f);  // 5 units above the frame, then a line
    item.baseScale = 0.5f;
    EXPECT_FLOAT_EQ(item.getHighestY(), 126.5f);
}

TEST_F(MenuItemTest, TheHighlightFadesInOverAQuarterSecondUnderThePointer) {
    auto* item = new MenuItem(0, 0, 0, u"", u"");
    menu.addItem(item);
    for (int i = 0; i < 3; ++i) engine.tickIn(menu, *item, {10, 5, 0});
    EXPECT_TRUE(item->bHovered);
    EXPECT_LT(item->highlight, 1.0);
    engine.tickIn(menu, *item, {10, 5, 0});
    EXPECT_DOUBLE_EQ(item->highlight, 1.0);
    EXPECT_EQ(item->captionColour, 0xFFFF0000u);
    engine.tickIn(menu, *item, {200, 5, 0});  // off the plate
    EXPECT_FALSE(item->bHovered);
    EXPECT_DOUBLE_EQ(item->highlight, 0.75);
}

TEST_F(MenuItemTest, WideCaptionsShrinkToTheRoomButNarrowFramesNever) {
    MenuItem item(0, 0, 0, u"", u"");
    EXPECT_FLOAT_EQ(item.getTextFitScale(std::u16string(30, u'x'), 208.0f), 208.0f / 300.0f);
    EXPECT_FLOAT_EQ(item.getTextFitScale(std::u16string(30, u'x'), 10.0f), 1.0f);
    EXPECT_FLOAT_EQ(item.getTextFitScale(u"short", 208.0f), 1.0f);
}

TEST_F(MenuItemTest, ADisabledItemIgnoresThePointer) {
    auto* item = new MenuItem(0, 0, 0, u"", u"");
    item->bDisabled = 1;
    menu.addItem(item);
    engine.click([&] { engine.tickIn(menu, *item, {0, 0, 0}); });
    EXPECT_EQ(item->captionColour, 0x40000000u);
    EXPECT_EQ(item->pulse, 0.0f);
}

TEST_F(MenuItemTest, APressStartsTheWobble) {
    auto* item = new MenuItem(0, 0, 0, u"", u"");
    menu.addItem(item);
    engine.input().addMouseContact();
    engine.step();
    engine.tickIn(menu, *item, {0, 0, 0}, 0.0);
    EXPECT_EQ(item->pulse, 1.0f);
    engine.step();
    engine.tickIn(menu, *item, {0, 0, 0}, 0.0625);
    EXPECT_GT(item->scale.x, 1.0f);  // wider and flatter first
    EXPECT_LT(item->scale.y, 1.0f);
}

TEST_F(MenuItemTest, TheNavigationPointSitsAQuarterFrameBelowTheCentre) {
    auto* item = new MenuItem(0, -50, 0, u"", u"");
    menu.addItem(item);
    const Vector3 p = item->getNavigationPoint(0);
    EXPECT_FLOAT_EQ(p.x, 400.0f);
    EXPECT_FLOAT_EQ(p.y, 240.0f - 50.0f - 12.0f);
    EXPECT_EQ(item->getNavigationPoint(1).x, -1.0f);
}
}  // namespace
