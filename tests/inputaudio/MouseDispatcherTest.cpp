#include <gtest/gtest.h>

#include "engine/Event.h"
#include "inputaudio/InputTestEngine.h"
#include "inputaudio/MouseDispatcher.h"
#include "inputaudio/TouchPoint.h"
#include "support/Recorder.h"

namespace {
// A scene root with two buttons; the pointer is moved and pressed by hand, as the input
// service's poll would leave it.
class MouseDispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.scriptInput();
        root = new RecordingObject(journal, "root");
        lower = new RecordingObject(journal, "lower");
        upper = new RecordingObject(journal, "upper");
        root->addChild(lower);
        root->addChild(upper);
        dispatcher = &qor->mouseDispatcher();
        contact = new TouchPoint();
        input().addTouch(contact);
    }
    void TearDown() override { root->destroy(); }

    QorInput& input() { return engine.input(); }
    // One update with the contact in a given state; the pointer moves by `delta` first.
    void step(bool pressed, bool held, bool released, Vector3 delta = {0.0f, 0.0f, 0.0f}) {
        contact->bPressed = pressed;
        contact->bHeld = held;
        contact->bReleased = released;
        input().pointerDelta = delta;
        input().pointerPosition.x += delta.x;
        input().pointerPosition.y += delta.y;
        input().pointerPosition.z += delta.z;
        journal.clear();
        dispatcher->update(root);
    }
    Journal eventsOf(const std::string& name) const {
        Journal out;
        for (const auto& line : journal)
            if (line.rfind(name + " event", 0) == 0) out.push_back(line);
        return out;
    }

    InputTestEngine engine;
    Journal journal;
    RecordingObject* root = nullptr;
    RecordingObject* lower = nullptr;
    RecordingObject* upper = nullptr;
    MouseDispatcher* dispatcher = nullptr;
    TouchPoint* contact = nullptr;
};
}  // namespace

TEST_F(MouseDispatcherTest, PressMoveAndReleaseNearbyMakeAClick) {
    upper->hit = true;
    step(true, true, false);
    EXPECT_EQ(dispatcher->getCapture(), upper);
    EXPECT_EQ(eventsOf("upper"), (Journal{"upper event 3"}));
    step(false, true, false, {1.5f, 0.0f, 0.0f});
    EXPECT_EQ(eventsOf("upper"), (Journal{"upper event 7", "upper event 5"}));
    step(false, false, true);
    EXPECT_EQ(eventsOf("upper"), (Journal{"upper event 4"}));
}

TEST_F(MouseDispatcherTest, AReleaseFarFromThePressIsNoClick) {
    upper->hit = true;
    step(true, true, false);
    step(false, true, false, {3.0f, 0.0f, 0.0f});
    step(false, false, true);
    EXPECT_EQ(eventsOf("upper"), Journal{});
}

TEST_F(MouseDispatcherTest, EventsArePreviewedFromTheRootThenBubbleUp) {
    upper->hit = true;
    step(true, true, false);
    EXPECT_EQ(journal, (Journal{"root preview 3", "upper event 3", "root bubble 3"}));
}

TEST_F(MouseDispatcherTest, PressingEmptySpaceReleasesTheCapture) {
    upper->hit = true;
    step(true, true, false);
    step(false, false, true);
    upper->hit = false;
    step(true, true, false);
    EXPECT_EQ(dispatcher->getCapture(), nullptr);
    EXPECT_EQ(eventsOf("upper"), (Journal{"upper event 2"}));
}

TEST_F(MouseDispatcherTest, TabReachesTheObjectBeneath) {
    lower->hit = upper->hit = true;
    dispatcher->update(root);
    EXPECT_EQ(dispatcher->getHover(), upper);
    input().keyState[MouseDispatcher::kTabKey] = QorInput::kDown;
    dispatcher->update(root);
    EXPECT_EQ(dispatcher->getHover(), lower);
}

TEST_F(MouseDispatcherTest, NoInputOnAnAncestorTakesTheCaptureAway) {
    auto* child = new RecordingObject(journal, "child");
    lower->addChild(child);
    child->hit = true;
    step(true, true, false);
    EXPECT_EQ(dispatcher->getCapture(), child);
    lower->bNoInput = 1;
    step(false, true, false);
    EXPECT_EQ(dispatcher->getCapture(), nullptr);
    // The capture-lost event is swallowed in preview by the ancestor with bNoInput.
    EXPECT_EQ(eventsOf("child"), Journal{});
}

TEST_F(MouseDispatcherTest, ADestroyedCaptureEmptiesWithoutCaptureLost) {
    upper->hit = true;
    step(true, true, false);
    journal.clear();
    upper->destroy();
    upper = nullptr;
    EXPECT_EQ(dispatcher->getCapture(), nullptr);
    EXPECT_EQ(journal, (Journal{"upper destroyed"}));
}

TEST_F(MouseDispatcherTest, KeysAndTypedCharactersGoToTheCapture) {
    upper->hit = true;
    step(true, true, false);
    input().typedChar = u'a';
    step(false, true, false);
    EXPECT_EQ(eventsOf("upper"), (Journal{"upper event 6"}));
    input().typedChar = 0;
    step(false, true, false);
    EXPECT_EQ(eventsOf("upper"), Journal{});
}
