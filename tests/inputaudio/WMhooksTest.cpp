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

}  // namespace
