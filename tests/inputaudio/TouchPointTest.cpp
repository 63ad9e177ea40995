#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "inputaudio/InputTestEngine.h"
#include "inputaudio/TouchPoint.h"
#include "inputaudio/WMhooks.h"

namespace {

// A contact's flags after a poll: P pressed, H held, R released, T tap, M moved; "-"
// when there is no such contact.
std::string flags(const TouchPoint* t) {
    if (!t) return "-";
    std::string s;
    for (auto [flag, letter] :
         {std::pair{t->bPressed, 'P'}, {t->bHeld, 'H'}, {t->bReleased, 'R'}, {t->bTap, 'T'}, {t->bMoved, 'M'}})
        if (flag) s += letter;
    return s;
}

// Runs one frame per step after the step's window events; checks the first contact.
void runSteps(InputTestEngine& engine,
              const std::vector<std::pair<std::function<void(WMhooks&)>, const char*>>& steps) {
    WMhooks hooks;
    int frame = 0;
    for (const auto& [events, expected] : steps) {
        events(hooks);
        engine.frame();
        EXPECT_EQ(flags(engine.input().getTouch(0)), expected) << "frame " << ++frame;
    }
}

TEST(TouchPointTest, PressHoldMoveAndReleaseFrameByFrame) {
    InputTestEngine engine;
    engine.scriptInput();
    runSteps(engine, {
                         {[](WMhooks& h) { h.touchDown(100, 100, 1); }, "PH"},
                         {[](WMhooks& h) { h.touchMove(115, 100, 1); }, "H"},   // 15 pixels: not moved yet
                         {[](WMhooks& h) { h.touchMove(100, 121, 1); }, "HM"},  // 21 pixels from the press
                         {[](WMhooks& h) { h.touchMove(100, 100, 1); }, "HM"},  // moved stays moved
                         {[](WMhooks& h) { h.touchUp(100, 100, 1); }, "RM"},
                         {[](WMhooks&) {}, "-"},
                     });
}

TEST(TouchPointTest, QuickReleasesAreTapsEvenAfterALongMove) {
    InputTestEngine engine;
    engine.scriptInput();
    runSteps(engine, {
                         {[](WMhooks& h) { h.mouseButtonDown(10, 10, 0), h.mouseButtonUp(10, 10, 0); }, "PH"},
                         {[](WMhooks&) {}, "RT"},
                         {[](WMhooks&) {}, "-"},
                         {[](WMhooks& h) { h.touchDown(100, 100, 3); }, "PH"},
                         // Movement is judged only from the first held tick on.
                         {[](WMhooks& h) { h.touchMove(300, 100, 3), h.touchUp(300, 100, 3); }, "RT"},
                     });
}

TEST(TouchPointTest, VelocityOfTheLastMoveCarriesAndFadesAfterTenFrames) {
    InputTestEngine engine;
    engine.scriptInput();
    WMhooks hooks;
    hooks.touchDown(100, 240, 1);
    engine.frame();
    TouchPoint* t = engine.input().getTouch(0);
    // Two moves in one frame measure from where the frame began: 100 right, 50 up in 0.5 s.
    auto move = [&](int x, int y, double from, double to) {
        hooks.touchMove(x, y, 1);
        t->previousUpdateTime = from;
        t->lastUpdateTime = to;
    };
    hooks.touchMove(150, 240, 1);
    move(200, 190, 1.0, 1.5);
    engine.frame();
    EXPECT_FLOAT_EQ(t->velocity.x, 200.0f);
    EXPECT_FLOAT_EQ(t->velocity.y, 100.0f);
    for (int i = 0; i < 10; ++i) engine.frame();
    EXPECT_FLOAT_EQ(t->velocity.x, 200.0f);
    engine.frame();
    EXPECT_EQ(t->velocity.x, 0.0f);
    move(202, 190, 2.0, 2.5);  // 4 units a second reads as still
    engine.frame();
    EXPECT_EQ(t->velocity.x, 0.0f);
    move(302, 190, 3.0, 3.25);  // a flick released in the next frame keeps its speed
    engine.frame();
    hooks.touchUp(302, 190, 1);
    engine.frame();
    EXPECT_EQ(flags(t), "RM");
    EXPECT_FLOAT_EQ(t->velocity.x, 400.0f);
}

TEST(TouchPointTest, TwoFingersAreSeparateContactsAndThePointerFollowsTheOlder) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    WMhooks hooks;
    hooks.touchDown(100, 80, 1);
    hooks.touchDown(700, 400, 2);
    engine.frame();
    EXPECT_EQ(flags(in.getTouch(1)), "PH");
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 100.0f);
    hooks.touchUp(100, 80, 1);
    engine.frame();
    EXPECT_EQ(flags(in.getTouch(0)), "RT");
    EXPECT_EQ(flags(in.getTouch(1)), "H");
    engine.frame();
    EXPECT_EQ(in.getTouch(0), in.findTouchByTag(2));
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 700.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 80.0f);
}

}  // namespace
