#include <gtest/gtest.h>

#include "../inputaudio/InputTestEngine.h"
#include "engine/WMhooks.h"
#include "inputaudio/TouchPoint.h"

namespace {

TEST(WMhooksTest, AFingerTagSeenAgainEndsTheStaleContact) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.touchDown(100, 100, 1);
    engine.frame();
    TouchPoint* stale = in.getTouch(0);
    hooks.touchDown(300, 300, 1);  // its release was lost
    EXPECT_EQ(stale->tag, -1);
    EXPECT_NE(in.findTouchByTag(1), stale);
    engine.frame();
    EXPECT_TRUE(stale->bReleased);
    EXPECT_TRUE(in.findTouchByTag(1)->bPressed);
    engine.frame();
    EXPECT_EQ(in.getTouch(1), nullptr);
    EXPECT_EQ(in.getTouch(0), in.findTouchByTag(1));
}

TEST(WMhooksTest, ASecondLeftPressReplacesTheMouseContact) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.mouseButtonDown(10, 10, 0);
    engine.frame();
    const int firstId = in.getTouch(0)->id;
    hooks.mouseButtonDown(20, 20, 0);
    ASSERT_NE(in.getTouch(0), nullptr);
    EXPECT_NE(in.getTouch(0)->id, firstId);
    EXPECT_EQ(in.getTouch(0)->tag, 0);
    EXPECT_EQ(in.getTouch(1), nullptr);
}

TEST(WMhooksTest, MouseAndTouchSwitchTheInputMode) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.mouseMove(50, 60);
    EXPECT_EQ(in.inputMode, QorInput::kModeMouse);
    EXPECT_EQ(in.rawMousePosition[0], 50);
    hooks.mouseButtonDown(50, 60, 1);  // only the left button makes a contact
    EXPECT_EQ(in.getTouch(0), nullptr);
    hooks.touchDown(100, 100, 4);
    EXPECT_EQ(in.inputMode, QorInput::kModeTouch);
    hooks.mouseWheel(-120);
    EXPECT_EQ(in.wheelSum, -120);
    EXPECT_EQ(in.inputMode, QorInput::kModeTouch);  // the wheel leaves the mode alone
    hooks.character(u'x');
    EXPECT_EQ(in.typedChar, u'x');
    // A mouse release ends the first contact, whichever button it is.
    hooks.mouseMove(100, 100);
    hooks.mouseButtonUp(100, 100, 2);
    EXPECT_EQ(in.getTouch(0)->tag, -1);
}

}  // namespace
