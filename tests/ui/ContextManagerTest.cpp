#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "language/Language.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"
#include "ui/ContextManager.h"
#include "ui/ContextPopup.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuButton.h"
#include "ui/MousePointer.h"
#include "ui/ScreenUnits.h"
#include "ui/StackFixture.h"

namespace {
class ContextManagerTest : public StackFixture {
protected:
    RecordingScreen* push(const std::string& name) {
        auto* s = new RecordingScreen(journal, name);
        stack->addChild(s);
        return s;
    }
    Journal take() {
        Journal j;
        j.swap(journal);
        return j;
    }
    // One frame of the stack drawn by hand (the engine's frame would take the pointer
    // from the system's cursor).
    void drawStack() {
        GraphicsDevice& device = *qor->pQorGraphics->dxDevice;
        device.beginScene();
        qor->pQorGraphics->clear();
        stack->frameRender();
        device.endScene();
    }
};
constexpr int kEscape = 1;
}  // namespace

TEST_F(ContextManagerTest, APushedScreenIsActivatedInTheNextTickAndOnlyTheTopTicks) {
    RecordingScreen* a = push("a");
    a->bFinished = 1;  // pushing clears it
    stack->addChild(a);
    EXPECT_TRUE(take().empty());
    tick();
    EXPECT_EQ(take(), (Journal{"a activate first", "a tick"}));
    push("b");
    tick();
    EXPECT_EQ(take(), (Journal{"a covered", "b activate first", "b tick"}));
    tick();
    EXPECT_EQ(take(), (Journal{"b tick"}));
    int n = 0;
    stack->findNthHit(n);
    EXPECT_EQ(take(), (Journal{"b hit"}));
}

TEST_F(ContextManagerTest, TwoScreensFinishedTogetherGoInOneTickAndTheOneBeneathIsActivatedOnce) {
    push("a");
    RecordingScreen* b = push("b");
    RecordingScreen* c = push("c");
    tick();
    take();
    b->bFinished = c->bFinished = 1;
    tick();
    EXPECT_EQ(take(), (Journal{"c closed", "c destroyed", "b closed", "b destroyed", "a activate first", "a tick"}));
    EXPECT_EQ(stack->top()->prev, nullptr);
}

TEST_F(ContextManagerTest, AFinishedScreenBeneathAnOpenOneWaitsAndIsNeverActivatedAgain) {
    push("a");
    RecordingScreen* b = push("b");
    tick();
    b->bFinished = 1;
    RecordingScreen* c = push("c");
    tick();
    take();
    c->bFinished = 1;
    tick();
    EXPECT_EQ(take(), (Journal{"c closed", "c destroyed", "b closed", "b destroyed", "a activate first", "a tick"}));
}

TEST_F(ContextManagerTest, EscapeClosesOnlyScreensThatAllowItAndAHeldKeyClosesNoMore) {
    RecordingScreen* a = push("a");
    RecordingScreen* b = push("b");
    b->bCloseOnEscape = 0;
    b->bCloseOnFireKey = 1;
    tick();
    press(kEscape);
    press(57);  // player 1's fire key: ignored, as Escape is not allowed here
    tick();
    EXPECT_FALSE(b->bFinished);
    b->bCloseOnEscape = 1;
    b->bCloseOnFireKey = 0;
    press(kEscape);
    tick();
    EXPECT_TRUE(b->bFinished);
    take();
    press(kEscape, true);  // still held in the next frame
    tick();
    EXPECT_EQ(take(), (Journal{"b closed", "b destroyed", "a activate first", "a tick"}));
    EXPECT_FALSE(a->bFinished);
}

TEST_F(ContextManagerTest, EitherPlayersFireKeyClosesAScreenThatAsksForIt) {
    for (int key : {57, 42}) {
        RecordingScreen* s = push("s");
        s->bCloseOnFireKey = 1;
        tick();
        press(key);
        tick();
        EXPECT_TRUE(s->bFinished) << key;
        tick();
    }
}

TEST_F(ContextManagerTest, ConfirmationYesClosesTheScreenAndNoOnlyThePopup) {
    qor->pLanguage->setLanguage(0);  // the question's buttons are labelled from the texts
    RecordingScreen* base = push("base");
    RecordingScreen* menu = push("menu");
    menu->bConfirmClose = 1;
    tick();
    // Escape asks; "No" (or Escape on the question) closes only the question.
    for (bool answerNo : {true, false}) {
        press(kEscape);
        tick();
        EXPECT_FALSE(menu->bFinished);
        auto* popup = dynamic_cast<ContextPopup*>(stack->top());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(stack->confirmResult, -1);
        if (answerNo)
            popup->secondButton->bTriggered = 1;
        else
            press(kEscape);
        tick();
        tick();
        EXPECT_EQ(stack->top(), menu);
        EXPECT_FALSE(menu->bFinished);
    }
    press(kEscape);
    tick();
    auto* popup = dynamic_cast<ContextPopup*>(stack->top());
    ASSERT_NE(popup, nullptr);
    popup->firstButton->bTriggered = 1;  // "Yes"
    tick();
    EXPECT_TRUE(menu->bFinished);
    EXPECT_EQ(stack->confirmResult, -1);
    take();
    tick();
    EXPECT_EQ(take(), (Journal{"menu closed", "menu destroyed", "base activate first", "base tick"}));
    EXPECT_EQ(stack->top(), base);
}

TEST_F(ContextManagerTest, ClosingTheLastScreenRequestsTheEndInTheSameTick) {
    RecordingScreen* a = push("a");
    tick();
    a->bFinished = 1;
    take();
    tick();
    EXPECT_EQ(take(), (Journal{"a closed", "a destroyed"}));
    EXPECT_EQ(stack->bQuitRequested, 1);
}

TEST_F(ContextManagerTest, DeletingTheStackEndsEveryScreenTopFirst) {
    push("a");
    push("b");
    RecordingScreen* c = push("c");
    c->bDeleteOnClose = 0;  // whatever the flag says
    tick();
    take();
    global->pContextManager = nullptr;
    stack->destroy();
    stack = nullptr;
    EXPECT_EQ(take(), (Journal{"c destroyed", "b destroyed", "a destroyed"}));
}

TEST_F(ContextManagerTest, ANewTopOpensTheIrisWhichMovesOneUnitPerSecond) {
    IrisOverlay& iris = *stack->pOverlay;
    iris.target = 1.0f;
    iris.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(iris.level, 0.5f);
    iris.tick(0.0, 0.75);
    EXPECT_FLOAT_EQ(iris.level, 1.0f);
    push("a");
    tick();
    EXPECT_EQ(iris.target, 0.0f);
    iris.tick(0.0, 0.25);
    EXPECT_FLOAT_EQ(iris.level, 0.75f);
}

TEST_F(ContextManagerTest, ThePointerIsDrawnOnlyWhileTheWindowIsActiveAndTheScreenWantsIt) {
    RecordingScreen* a = push("a");
    a->clearColor = 0xFF000000u;
    qor->pQorInput->setInputMode(QorInput::kModeMouse);
    qor->pQorInput->setMousePos(400.0f, 240.0f, 0.0f);  // the middle of the screen
    auto redInTheMiddle = [this] {
        stack->tick(0.0, 0.0);
        drawStack();
        int w = 0, h = 0;
        const auto pixels = backBuffer(w, h);
        return pixels[static_cast<std::size_t>(h / 2) * w + w / 2] == 0xFFFF0000u;
    };
    EXPECT_TRUE(redInTheMiddle());
    qor->windowActive = false;
    EXPECT_FALSE(redInTheMiddle());
    qor->windowActive = true;
    a->bShowPointer = 0;
    EXPECT_FALSE(redInTheMiddle());
}

// A screen may move the pointer, and the system cursor with it, while it ticks: a key
// walks the menu, or a screen it opens over itself parks the pointer. The shared pointer
// drawn in that frame stands where the tick left the pointer, and shows from that frame
// on when the tick took the mouse.
TEST_F(ContextManagerTest, ThePointerIsDrawnWhereTheTopScreensTickLeftIt) {
    struct MovingScreen : RecordingScreen {
        using RecordingScreen::RecordingScreen;
        void tickContents(double time, double dt) override {
            RecordingScreen::tickContents(time, dt);
            if (move) std::exchange(move, nullptr)();
        }
        std::function<void()> move;
    };
    useTouchScreen();  // the mouse is taken in a tick
    auto* a = new MovingScreen(journal, "a");
    stack->addChild(a);
    QorInput& in = *qor->pQorInput;
    const MousePointer& sprite = *stack->pMousePointer;
    auto drawnAt = [&] { return worldToScreenUnits(*stack->pointerLayer->pCamera, sprite.position); };
    tick();
    EXPECT_TRUE(sprite.bHidden);  // no mouse yet
    a->move = [&] {
        in.setInputMode(QorInput::kModeMouse);
        in.setMousePos(600.0f, 100.0f, 0.0f);
    };
    tick();
    EXPECT_FALSE(sprite.bHidden);
    expectPoint(drawnAt(), 600.0f, 100.0f, 0.0f);
    a->move = [&] {
        stack->addChild(new RecordingScreen(journal, "b"));
        in.setMousePos(720.0f, 48.0f, 0.0f);
    };
    tick();
    ASSERT_NE(stack->top(), a);  // b is drawn in this frame
    expectPoint(drawnAt(), 720.0f, 48.0f, 0.0f);
}

TEST_F(ContextManagerTest, AClosedIrisCoversTheScreenAndAnOpenOneDrawsNothing) {
    RecordingScreen* a = push("a");
    a->clearColor = 0xFFFFFFFFu;
    a->bShowPointer = 0;
    IrisOverlay& iris = *stack->pOverlay;
    auto blackShare = [this, &iris](float level) {
        stack->tick(0.0, 0.0);
        iris.level = iris.target = level;
        drawStack();
        int w = 0, h = 0;
        const auto pixels = backBuffer(w, h);
        return static_cast<double>(std::count(pixels.begin(), pixels.end(), 0xFF000000u)) /
               static_cast<double>(pixels.size());
    };
    EXPECT_EQ(blackShare(0.0f), 0.0);
    EXPECT_EQ(blackShare(1.0f), 1.0);
    const double half = blackShare(0.5f);
    EXPECT_GT(half, 0.05);
    EXPECT_LT(half, 0.95);
    // Low detail: a hard edge, so only black and white remain.
    global->configuration.detail = 0;
    blackShare(0.5f);
    int w = 0, h = 0;
    const auto pixels = backBuffer(w, h);
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(),
                            [](std::uint32_t p) { return p == 0xFF000000u || p == 0xFFFFFFFFu; }));
}

// The closed iris leaves the frame black whatever lies beneath, so the screen is not
// drawn then: what only it draws goes unused, and a purge may release it.
TEST_F(ContextManagerTest, AScreenUnderTheClosedIrisIsNotDrawn) {
    struct CountingScreen : RecordingScreen {
        using RecordingScreen::RecordingScreen;
        void renderContents() override { ++draws; }
        int draws = 0;
    };
    auto* a = new CountingScreen(journal, "a");
    stack->addChild(a);
    IrisOverlay& iris = *stack->pOverlay;
    // Only the closed iris leaves the screen out: an iris nearly closed still shows a
    // little of it, so each level is checked on its own rather than by a total.
    for (const float level : {0.0f, 0.99f, 1.0f, 0.5f}) {
        stack->tick(0.0, 0.0);
        iris.level = iris.target = level;
        const int before = a->draws;
        drawStack();
        EXPECT_EQ(a->draws - before, level < 1.0f ? 1 : 0) << "iris level " << level;
    }
}

TEST_F(ContextManagerTest, TheShownFrameRateIsTheMeanOfItsWindowOfPacedFrames) {
    push("a");
    global->configuration.bShowFps = 1;
    const int frames = qor->frameCounter;
    // Far from the engine's own time, and exact in binary, so that the window's first
    // edge (0.125 s on) compares exactly.
    const double start = 1000.0;
    // The engine's frame count and the pacer's last frame start, as a frame would leave them.
    auto drawAt = [&](int framesRun, double seconds) {
        qor->frameCounter = frames + framesRun;
        qor->timer.frameStart = start + seconds;
        drawStack();
        return stack->displayedFrameRate;
    };
    qor->fps = 105.0;  // the last frame alone, as a shorter frame after a longer one would read
    EXPECT_EQ(drawAt(0, 0.0), 0.0f) << "a jump of the clock opens a window and shows nothing";
    EXPECT_EQ(drawAt(5, 0.05), 0.0f) << "the first window is not over yet";
    EXPECT_FLOAT_EQ(drawAt(12, 0.125), 96.0f);
    EXPECT_FLOAT_EQ(drawAt(17, 0.2), 96.0f) << "within the next window the rate stands";
    // A frame of 75 ms among ten of 10 ms: the window shows all eleven, not the last one.
    EXPECT_FLOAT_EQ(drawAt(23, 0.3), static_cast<float>(11 / 0.175));
    // Paused: no frame runs and no game time passes; the rate stands.
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(drawAt(23, 0.3), static_cast<float>(11 / 0.175)) << i;
    // A clock that starts again below the window's start opens a new window from there.
    EXPECT_FLOAT_EQ(drawAt(24, 0.0), static_cast<float>(11 / 0.175));
    EXPECT_FLOAT_EQ(drawAt(37, 0.13), static_cast<float>(13 / 0.13));
}
