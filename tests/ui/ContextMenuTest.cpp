#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/Renderable.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextMenu.h"
#include "ui/MenuNavEntry.h"
#include "ui/NavigationTarget.h"

namespace {
// A widget with navigation points given in screen units; with a half width, it is a box
// that wide and 40 units high around its first point, under the pointer in it.
class Spot : public Renderable, public NavigationTarget {
public:
    explicit Spot(std::vector<Vector3> points_, float halfWidth_ = 0.0f)
        : points(std::move(points_)), halfWidth(halfWidth_) {}
    Vector3 getNavigationPoint(int i) override {
        return i < static_cast<int>(points.size()) ? points[static_cast<std::size_t>(i)] : kNoPoint;
    }
    bool isUnderPointer() override {
        const Vector3 d = qor->input().pointerPosition - points[0];
        return std::fabs(d.x) <= halfWidth && std::fabs(d.y) <= 20.0f;
    }
    std::vector<Vector3> points;
    float halfWidth;
};

class ContextMenuTest : public ::testing::Test {
protected:
    Spot* spot(float x, float y, float halfWidth = 0.0f) {
        auto* s = new Spot({Vector3{x, y, 0.0f}}, halfWidth);
        menu->addItem(s);
        return s;
    }
    void press(int code) { setKey(code, true), frame(), menu->tickContents(0.0, 0.0625); }
    void release(int code) { setKey(code, false), frame(), menu->tickContents(0.0, 0.0625); }
    // The mouse leaves the window: the pointer stays on the picture's edge at `edge`.
    void leaveThePicture(const Vector3& edge) {
        engine.input().pointerPosition = edge;
        engine.input().bMouseAway = true;
        frame();
        menu->tickContents(0.0, 0.0625);
    }
    void setKey(int code, bool down) {
        if (code < QorInput::kKeyboardCodes)
            devices->keys[code] = down ? 0x80 : 0;
        else
            padKeys[code] = down ? 0x80 : 0;
    }
    // One frame in which the pointer stays where it is (no system cursor here) and the
    // pad codes take the states the test gave them.
    void frame() {
        const Vector3 at = engine.input().pointerPosition;
        engine.frame();
        engine.input().pointerPosition = at;
        engine.input().pointerDelta = Vector3{0.0f, 0.0f, 0.0f};
        for (int c = QorInput::kKeyboardCodes; c < QorInput::kInputCodeCount; ++c) {
            engine.input().previousKeyState[static_cast<std::size_t>(c)] = padPrevious[c];
            engine.input().keyState[static_cast<std::size_t>(c)] = padPrevious[c] = padKeys[c];
        }
    }
    std::uint8_t* keys() { return devices->keys; }
    std::uint8_t padKeys[QorInput::kInputCodeCount] = {};
    std::uint8_t padPrevious[QorInput::kInputCodeCount] = {};
    void SetUp() override {
        devices = &engine.scriptInput();
        engine.input().setInputMode(QorInput::kModeMouse);
        ContextMenu::navigationMode = ContextMenu::kMouseNavigation;
        ContextMenu::lastNavigationModeFrame = -1;
        menu = new ContextMenu();
        frame();
        frame();
    }
    void TearDown() override { menu->destroy(); }

    MenuTestEngine engine;
    ScriptedDevices* devices = nullptr;
    ContextMenu* menu = nullptr;
};

TEST_F(ContextMenuTest, ScoresTradeNearnessAgainstStraightness) {
    const Vector3 from{100, 100, 0};
    EXPECT_NEAR(ContextMenu::scoreNavigationTarget(from, {100, 200, 0}, ContextMenu::kUp), 2.56f, 1e-5f);
    EXPECT_NEAR(ContextMenu::scoreNavigationTarget(from, {125, 143.30127f, 0}, ContextMenu::kRight), 2.56f, 1e-4f);
    EXPECT_LT(ContextMenu::scoreNavigationTarget(from, {100, 0, 0}, ContextMenu::kUp), 0.0f);
    EXPECT_EQ(ContextMenu::scoreNavigationTarget(from, {102, 101, 0}, ContextMenu::kUp), -1.0f);
    EXPECT_EQ(ContextMenu::scoreNavigationTarget(from, {100, 200, 0}, 7), 0.0f);
    EXPECT_FLOAT_EQ(ContextMenu::scoreNavigationTarget(from, from, ContextMenu::kNearest), 256.0f);
}

TEST_F(ContextMenuTest, DownFromAButtonReachesTheNextNeverTheOneAfter) {
    spot(400, 300);
    spot(400, 250);
    spot(400, 200);
    EXPECT_FLOAT_EQ(menu->findNavigationTarget({400, 300, 0}, ContextMenu::kDown).y, 250.0f);
    const Vector3 last{400, 200, 0};
    EXPECT_FLOAT_EQ(menu->findNavigationTarget(last, ContextMenu::kDown).y, 200.0f);
}

TEST_F(ContextMenuTest, EqualScoresGoToTheEntryEnteredFirst) {
    spot(300, 200);
    spot(500, 200);
    EXPECT_FLOAT_EQ(menu->findNavigationTarget({400, 300, 0}, ContextMenu::kDown).x, 300.0f);
}

TEST_F(ContextMenuTest, HiddenOffScreenAndDeadWidgetsAreNeverReached) {
    Spot* hidden = spot(400, 250);
    hidden->bHidden = 1;
    spot(-1, 100);
    spot(800, 100);
    spot(400, 0);
    EXPECT_FLOAT_EQ(menu->findNavigationTarget({400, 300, 0}, ContextMenu::kDown).y, 300.0f);
    EXPECT_FLOAT_EQ(menu->findNavigationTarget({400, 300, 0}, ContextMenu::kNearest).y, 300.0f);
    Spot* doomed = spot(400, 260);
    doomed->destroy();
    EXPECT_FLOAT_EQ(menu->findNavigationTarget({400, 300, 0}, ContextMenu::kDown).y, 300.0f);
    EXPECT_EQ(menu->navigationList->countChildren(), 4);  // the dead widget's entry went
}

TEST_F(ContextMenuTest, ArrowKeysMoveThePointerAndTheLastDirectionWins) {
    spot(400, 150);  // below
    spot(600, 240);  // right
    engine.input().setMousePos(400, 240, 0);
    keys()[200] = 0x80;  // up: nothing there
    press(205);          // right, in the same frame
    EXPECT_EQ(ContextMenu::navigationMode, ContextMenu::kKeyNavigation);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.x, 600.0f);
}

// Keys pressed with the mouse off the picture start from the item last under the pointer
// (the edge where the pointer was left, or what lies there, counts for nothing), Return
// clicks that item, and the wheel's notches bend no step.
TEST_F(ContextMenuTest, OffThePictureTheKeysCarryOnFromTheItemLastUnderThePointer) {
    spot(400, 340, 100);
    spot(400, 240, 100);
    spot(400, 140, 100);
    spot(700, 100);       // the best step down from the right edge at the middle's height
    spot(700, 240, 100);  // reaching the right edge: under the pointer left there
    engine.input().setMousePos(400, 240, 0);
    frame();
    menu->tickContents(0.0, 0.0625);
    leaveThePicture(Vector3{800, 240, 0});
    press(208);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.x, 400.0f);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 140.0f);
    EXPECT_FALSE(engine.input().isPointerOffPicture());  // the key put the pointer on the picture
    release(208);

    leaveThePicture(Vector3{800, 0, 0});
    press(28);
    release(28);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 140.0f);
    EXPECT_NE(engine.input().getTouch(0), nullptr);

    engine.input().deleteTouches();
    engine.input().setMousePos(400, 340, 240.0f);  // two notches of the wheel
    frame();
    frame();
    press(208);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 240.0f);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.z, 240.0f);
}

// Off the picture with no item ever under the pointer in this menu, or with that item gone
// since, the keys start from the menu's first item.
TEST_F(ContextMenuTest, OffThePictureWithNoItemLastUnderThePointerTheKeysStartFromTheFirst) {
    spot(400, 340);
    spot(400, 240);
    Spot* lower = spot(400, 140, 100);
    leaveThePicture(Vector3{800, 0, 0});
    press(208);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 240.0f);
    release(208);

    engine.input().setMousePos(400, 140, 0);
    frame();
    menu->tickContents(0.0, 0.0625);
    lower->destroy();
    leaveThePicture(Vector3{0, 0, 0});
    press(208);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 240.0f);
}

TEST_F(ContextMenuTest, KeysAreIgnoredInTheFrameOfAModeChangeAndTheNext) {
    spot(400, 150);
    engine.input().setMousePos(400, 240, 0);
    ContextMenu::setMenuNavigationMode(ContextMenu::kMouseNavigation);
    ContextMenu::setMenuNavigationMode(ContextMenu::kKeyNavigation);  // in this frame
    keys()[208] = 0x80;
    frame();  // the next frame: still gated
    ContextMenu::lastNavigationModeFrame = qor->frameCounter - 1;
    menu->tickContents(0.0, 0.0625);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 240.0f);
}

TEST_F(ContextMenuTest, ReturnClicksOnReleaseOnlyWhenPressedOnThisMenu) {
    spot(400, 240);
    engine.input().setMousePos(400, 240, 0);
    keys()[28] = 0x80;  // held from the previous screen
    frame();
    menu->onActivate(true);
    release(28);
    EXPECT_EQ(engine.input().getTouch(0), nullptr);
    frame();  // that release switched to key navigation: keys rest for two frames
    frame();
    press(28);
    EXPECT_EQ(engine.input().getTouch(0), nullptr);  // not on the press
    release(28);
    EXPECT_NE(engine.input().getTouch(0), nullptr);
}

TEST_F(ContextMenuTest, MovingTheMouseGoesBackToMouseNavigation) {
    ContextMenu::setMenuNavigationMode(ContextMenu::kKeyNavigation);
    engine.input().pointerDelta = Vector3{2.0f, 1.0f, 0.0f};
    menu->tickContents(0.0, 0.0625);
    EXPECT_EQ(ContextMenu::navigationMode, ContextMenu::kMouseNavigation);
}

TEST_F(ContextMenuTest, BackButtonClosesUnlessTheMenuAsksFirst) {
    menu->bConfirmClose = 1;
    press(273);
    EXPECT_FALSE(menu->bFinished);
    release(273);
    menu->bConfirmClose = 0;
    press(321);
    EXPECT_TRUE(menu->bFinished);
}

TEST_F(ContextMenuTest, AMenuComingBackInKeyModeReturnsToItsItem) {
    spot(400, 140);
    spot(400, 340);
    ContextMenu::setMenuNavigationMode(ContextMenu::kKeyNavigation);
    menu->pointer = Vector3{0.0f, -95.0f, 0.0f};  // world units: near the lower item
    menu->onDeactivate(false);
    EXPECT_FLOAT_EQ(menu->rememberedPointer.y, 145.0f);
    engine.input().pointerPosition.z = 120.0f;  // a notch of the wheel
    menu->onActivate(false);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.y, 140.0f);
    EXPECT_FLOAT_EQ(engine.input().pointerPosition.z, 120.0f);  // the wheel's, kept

    // Covered while the mouse was off the picture: the item last under the pointer is
    // remembered, not the picture's edge.
    engine.input().bMouseAway = true;
    menu->pointer = Vector3{400.0f, -240.0f, 0.0f};  // the bottom right corner
    menu->onDeactivate(false);
    EXPECT_FLOAT_EQ(menu->rememberedPointer.y, 140.0f);  // none was: the first item
}

TEST_F(ContextMenuTest, RightToLeftMenusPutCaptionsOnTheRight) {
    qor->pLanguage->rightToLeft = 1;
    ContextMenu mirrored;
    EXPECT_EQ(ContextMenu::defaultCaptionLocation, 6);
    EXPECT_EQ(ContextMenu::horizontalSign, -1.0f);
    qor->pLanguage->rightToLeft = 0;
    ContextMenu plain;
    EXPECT_EQ(ContextMenu::defaultCaptionLocation, 4);
    EXPECT_EQ(plain.cornerX, 385);
    EXPECT_EQ(plain.cornerY, 200);
}
}  // namespace
