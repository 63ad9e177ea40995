#include <gtest/gtest.h>

#include <string>

#include "InputTestEngine.h"
#include "engine/WMhooks.h"
#include "inputaudio/TouchPoint.h"

namespace {

// The flags of a contact after a poll, as one string: P pressed, H held, R released,
// T tap, M moved; "-" when there is no such contact.
std::string flags(const TouchPoint* t) {
    if (!t) return "-";
    std::string s;
    if (t->bPressed) s += 'P';
    if (t->bHeld) s += 'H';
    if (t->bReleased) s += 'R';
    if (t->bTap) s += 'T';
    if (t->bMoved) s += 'M';
    return s;
}

TEST(TouchPointTest, PressHoldMoveAndReleaseFrameByFrame) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    WMhooks hooks;
    struct Step {
        void (*events)(WMhooks&);
        const char* expected;
    };
    const Step steps[] = {
        {[](WMhooks& h) { h.touchDown(100, 100, 1); }, "PH"}, {[](WMhooks&) {}, "H"},
        {[](WMhooks& h) { h.touchMove(115, 100, 1); }, "H"},   // 15 pixels: not yet moved
        {[](WMhooks& h) { h.touchMove(100, 121, 1); }, "HM"},  // 21 pixels from the press
        {[](WMhooks& h) { h.touchMove(100, 100, 1); }, "HM"},  // moved stays moved
        {[](WMhooks& h) { h.touchUp(100, 100, 1); }, "RM"},   {[](WMhooks&) {}, "-"},
    };
    int frame = 0;
    for (const Step& step : steps) {
        step.events(hooks);
        engine.frame();
        EXPECT_EQ(flags(engine.input().getTouch(0)), step.expected) << "frame " << ++frame;
    }
}

TEST(TouchPointTest, ClickBetweenTwoFramesIsPressedThenTapped) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    WMhooks hooks;
    hooks.mouseButtonDown(10, 10, 0);
    hooks.mouseButtonUp(10, 10, 0);
    engine.frame();
    EXPECT_EQ(flags(engine.input().getTouch(0)), "PH");
    EXPECT_EQ(engine.input().mouseButtonState[0], 1);
    engine.frame();
    EXPECT_EQ(flags(engine.input().getTouch(0)), "RT");
    EXPECT_EQ(engine.input().previousMouseButtonState[0], 1);
    engine.frame();
    EXPECT_EQ(engine.input().getTouch(0), nullptr);
}

TEST(TouchPointTest, MovementBeforeTheFirstHeldTickStillCountsAsATap) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    WMhooks hooks;
    hooks.touchDown(100, 100, 3);
    engine.frame();
    hooks.touchMove(300, 100, 3);
    hooks.touchUp(300, 100, 3);
    engine.frame();
    EXPECT_EQ(flags(engine.input().getTouch(0)), "RT");
    EXPECT_FLOAT_EQ(engine.input().getTouch(0)->pos.x, 300.0f);
    EXPECT_FLOAT_EQ(engine.input().getTouch(0)->pressPosition.x, 100.0f);
}

TEST(TouchPointTest, VelocityOfTheLastMoveCarriesAndFadesAfterTenFrames) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    WMhooks hooks;
    hooks.touchDown(100, 240, 1);
    engine.frame();
    TouchPoint* t = engine.input().getTouch(0);
    // 100 pixels right and 50 up in half a second; the viewport is one unit a pixel.
    hooks.touchMove(150, 240, 1);
    hooks.touchMove(200, 190, 1);  // the second move of the frame keeps the first's start
    t->previousUpdateTime = 1.0;
    t->lastUpdateTime = 1.5;
    engine.frame();
    const int movedIn = qor->frameCounter;
    EXPECT_FLOAT_EQ(t->velocity.x, 200.0f);
    EXPECT_FLOAT_EQ(t->velocity.y, 100.0f);
    EXPECT_FLOAT_EQ(t->delta.x, 100.0f);
    while (qor->frameCounter < movedIn + 10) engine.frame();
    EXPECT_FLOAT_EQ(t->velocity.x, 200.0f);
    EXPECT_FLOAT_EQ(t->delta.x, 0.0f);
    engine.frame();
    EXPECT_EQ(t->velocity.x, 0.0f);

    // Creeping at 4 units a second reads as still.
    hooks.touchMove(202, 190, 1);
    t->previousUpdateTime = 2.0;
    t->lastUpdateTime = 2.5;
    engine.frame();
    EXPECT_EQ(t->velocity.x, 0.0f);

    // A flick released in the frame after its last move keeps its speed.
    hooks.touchMove(302, 190, 1);
    t->previousUpdateTime = 3.0;
    t->lastUpdateTime = 3.25;
    engine.frame();
    hooks.touchUp(302, 190, 1);
    engine.frame();
    EXPECT_EQ(flags(t), "RM");
    EXPECT_FLOAT_EQ(t->velocity.x, 400.0f);
}

TEST(TouchPointTest, TwoFingersAreSeparateContactsAndThePointerFollowsTheOlder) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.touchDown(100, 80, 1);
    hooks.touchDown(700, 400, 2);
    engine.frame();
    EXPECT_EQ(flags(in.getTouch(0)), "PH");
    EXPECT_EQ(flags(in.getTouch(1)), "PH");
    EXPECT_EQ(in.findTouchByTag(2), in.getTouch(1));
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 100.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 400.0f);

    hooks.touchUp(100, 80, 1);
    hooks.touchMove(650, 400, 2);
    engine.frame();
    EXPECT_EQ(flags(in.getTouch(0)), "RT");
    EXPECT_EQ(flags(in.getTouch(1)), "H");  // movement is judged from the first held tick on
    engine.frame();
    EXPECT_EQ(in.getTouch(0), in.findTouchByTag(2));
    EXPECT_EQ(in.getTouch(1), nullptr);
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 650.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 80.0f);
}

}  // namespace
