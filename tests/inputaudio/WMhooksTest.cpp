#include <gtest/gtest.h>

#include "inputaudio/InputTestEngine.h"
#include "inputaudio/TouchPoint.h"
#include "inputaudio/WMhooks.h"

namespace {

TEST(WMhooksTest, AFingerTagSeenAgainEndsTheStaleContact) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.touchDown(100, 100, 1);
    engine.frame();
    TouchPoint* stale = in.getTouch(0);
    hooks.touchDown(300, 300, 1);  // its release was lost
    EXPECT_EQ(stale->tag, -1);
    engine.frame();
    EXPECT_TRUE(stale->bReleased);
    EXPECT_TRUE(in.findTouchByTag(1)->bPressed);
    engine.frame();
    EXPECT_EQ(in.getTouch(0), in.findTouchByTag(1));
    EXPECT_EQ(in.getTouch(1), nullptr);
}

TEST(WMhooksTest, MouseEventsSelectMouseModeAndOwnTheFirstContact) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.mouseButtonDown(50, 60, 1);  // only the left button makes a contact
    EXPECT_EQ(in.inputMode, QorInput::kModeMouse);
    EXPECT_EQ(in.getTouch(0), nullptr);
    hooks.mouseButtonDown(10, 10, 0);
    engine.frame();
    const int firstId = in.getTouch(0)->id;
    hooks.mouseButtonDown(20, 20, 0);  // a second left press replaces the contact
    EXPECT_NE(in.getTouch(0)->id, firstId);
    EXPECT_EQ(in.getTouch(1), nullptr);
    hooks.mouseButtonUp(20, 20, 2);  // any button's release ends it
    EXPECT_EQ(in.getTouch(0)->tag, -1);
    hooks.touchDown(100, 100, 4);
    hooks.mouseWheel(-120);  // the wheel leaves the mode alone
    EXPECT_EQ(in.inputMode, QorInput::kModeTouch);
    EXPECT_EQ(in.wheelSum, -120);
}

// Touch to mouse: the pointer goes where the mouse is at once, so that the frame it
// comes in neither counts a jump nor clicks elsewhere; the report of a pointer that a
// window placement found over the window is no player's move and leaves touch alone.
TEST(WMhooksTest, TheMouseTakesOverWhereItIsAndAPlacementLeavesTouchAlone) {
    InputTestEngine engine;
    engine.scriptInput();  // no window, so no mouse: touch mode, the pointer in the middle
    QorInput& in = engine.input();
    WMhooks hooks;
    ASSERT_EQ(in.inputMode, QorInput::kModeTouch);
    hooks.pointerPlaced(300, 100);
    engine.frame();
    EXPECT_EQ(in.inputMode, QorInput::kModeTouch);
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 400.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 240.0f);

    hooks.mouseMove(500, 200);
    EXPECT_EQ(in.inputMode, QorInput::kModeMouse);
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 500.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 280.0f);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerDelta.x, 0.0f);
    EXPECT_FLOAT_EQ(in.pointerDelta.y, 0.0f);

    // A touch, then a click with no move before it: the click is where the pointer goes.
    hooks.touchDown(100, 100, 1);
    hooks.touchUp(100, 100, 1);
    engine.frame();
    engine.frame();
    ASSERT_EQ(in.inputMode, QorInput::kModeTouch);
    hooks.mouseButtonDown(700, 400, 0);
    hooks.mouseButtonUp(700, 400, 0);
    engine.frame();
    EXPECT_EQ(in.inputMode, QorInput::kModeMouse);
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 700.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 80.0f);
    EXPECT_TRUE(in.isTouchPressed(0));

    // In mouse mode, a placement's report is where the pointer goes.
    hooks.pointerPlaced(20, 30);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 20.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 450.0f);
}

}  // namespace
