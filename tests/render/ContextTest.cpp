#include <gtest/gtest.h>

#include <vector>

#include "EngineFixture.h"
#include "ReferenceImage.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"

namespace {
// Records the step it is ticked with and the current context while ticked and drawn.
class Probe : public QorBase {
public:
    void tick(double, double dt) override {
        steps.push_back(dt);
        tickedIn.push_back(qor->pCurrentContext);
    }
    void render() override { drawnIn.push_back(qor->pCurrentContext); }
    std::vector<double> steps;
    std::vector<Context*> tickedIn, drawnIn;
};

class ContextTest : public EngineFixture {
protected:
    // The engine's last paced frame lasted `seconds`.
    void setFrameTime(double seconds) {
        qor->timer.previousFrameStart = 0.0;
        qor->timer.frameStart = seconds;
    }
};

TEST_F(ContextTest, ALongFrameAdvancesTheClockByTheCappedStepTimesTheScale) {
    Context context;
    context.timeScale = 2.0;
    setFrameTime(0.2);
    context.tick(0.0, 0.0);
    EXPECT_DOUBLE_EQ(context.dt, 0.1);
    EXPECT_DOUBLE_EQ(context.localTime, 0.1);
}

TEST_F(ContextTest, AStoppedClockStillTicksTheContents) {
    Context context;
    auto* probe = new Probe();
    context.addChild(probe);
    context.timeScale = 0.0;
    setFrameTime(0.02);
    context.tick(0.0, 0.0);
    context.tick(0.0, 0.0);
    EXPECT_EQ(probe->steps, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(context.localTime, 0.0);
}

TEST_F(ContextTest, ADurationEndsTheContextOnceExceededNotWhenReached) {
    Context context;
    context.duration = 2.0;
    context.localTime = 1.5;
    context.timeScale = 10.0;
    setFrameTime(0.05);
    context.tick(0.0, 0.0);
    EXPECT_EQ(context.localTime, 2.0);
    EXPECT_FALSE(context.bFinished);
    context.tick(0.0, 0.0);
    EXPECT_TRUE(context.bFinished);
}

TEST_F(ContextTest, TheSlowMotionKeysDoNothingWhileDebuggingIsLocked) {
    Context context;
    setFrameTime(0.02);
    qor->pQorInput->keyState[87] = 0x80;  // F11
    context.tick(0.0, 0.0);
    EXPECT_DOUBLE_EQ(context.dt, 0.02);
    qor->bDebugLocked = 0;
    context.tick(0.0, 0.0);
    EXPECT_DOUBLE_EQ(context.dt, 0.05) << "five times faster, then capped";
}

TEST_F(ContextTest, NestedContextsAreCurrentWhileTheyTickAndDraw) {
    Context outer;
    auto* inner = new Context();
    auto* before = new Probe();
    auto* within = new Probe();
    auto* after = new Probe();
    outer.addChild(before);
    outer.addChild(inner);
    inner->addChild(within);
    outer.addChild(after);
    outer.tick(0.0, 0.0);
    outer.render();
    EXPECT_EQ(before->tickedIn, (std::vector<Context*>{&outer}));
    EXPECT_EQ(within->tickedIn, (std::vector<Context*>{inner}));
    EXPECT_EQ(after->tickedIn, (std::vector<Context*>{&outer}));
    EXPECT_EQ(within->drawnIn, (std::vector<Context*>{inner}));
    EXPECT_EQ(after->drawnIn, (std::vector<Context*>{&outer}));
    EXPECT_EQ(qor->pCurrentContext, nullptr);
}

TEST_F(ContextTest, ThePointerFollowsTheCameraIntoWorldUnits) {
    Context context;
    qor->pQorInput->pointerPosition = Vector3{400.0f, 240.0f, 0.0f};
    context.tick(0.0, 0.0);
    EXPECT_NEAR(context.pointer.x, 0.0f, 1e-3f);
    EXPECT_NEAR(context.pointer.y, 0.0f, 1e-3f);
    // Twice as far away, a virtual pixel covers two world units.
    context.pCamera->position = Vector3{100.0f, 0.0f, -800.0f};
    qor->pQorInput->pointerPosition = Vector3{800.0f, 480.0f, 0.0f};
    context.tick(0.0, 0.0);
    EXPECT_NEAR(context.pointer.x, 100.0f + 800.0f, 1e-3f);
    EXPECT_NEAR(context.pointer.y, 480.0f, 1e-3f);
    EXPECT_NEAR(context.pointerDelta.x, 900.0f, 1e-3f);
}

TEST_F(ContextTest, NestedCamerasPicture) {
    auto* outer = new Context();
    outer->clearColor = 0xFF302020u;
    addQuad(outer, 200, 200, 0xFFFF8000u, -250, 0);
    // The inner context looks from further away and to the left: its quad at the origin
    // shows smaller and to the right, and it clears nothing.
    auto* inner = new Context();
    inner->pCamera->position = Vector3{-300.0f, 0.0f, -800.0f};
    inner->pCamera->target = Vector3{-300.0f, 0.0f, 0.0f};
    addQuad(inner, 200, 200, 0xFF4080FFu, 0, 0, 0.3f);
    outer->addChild(inner);
    // Drawn after the inner context, with the outer camera again.
    addQuad(outer, 100, 100, 0xFFFFFFFFu, 0, 150);
    runFrame(outer);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("nested-contexts", pixels, w, h));
    outer->destroy();
}
}  // namespace
