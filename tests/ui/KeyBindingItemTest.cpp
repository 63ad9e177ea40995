// Key binding without a display: the capture popup's answers (the first new code, a
// later one replacing it, Escape), and the item storing a captured code so that no code
// drives two controls, whichever rows and players held it.
#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextKeyCapture.h"
#include "ui/Global.h"
#include "ui/KeyBindingItem.h"

namespace {
constexpr int kEscape = 1, kReturn = 28, kA = 30, kD = 32, kPadButton3 = 256 + 16 + 3;
using Row = GameConfiguration::KeyRow;

class KeyBindingItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.makeGlobal();
        devices = &engine.scriptInput({2});
    }
    int& key(int row, int player) { return global->configuration.keys[row][player]; }
    // The item's answer arrives and the item stores it on its next tick.
    void capture(KeyBindingItem& item, int code) {
        item.pendingCode = code;
        engine.tickIn(holder, item, Vector3{1000.0f, 1000.0f, 0.0f});
    }
    MenuTestEngine engine;
    ScriptedDevices* devices = nullptr;
    ContextMenu holder;
};

TEST_F(KeyBindingItemTest, ACapturedCodeLeavesEveryOtherControlItHeld) {
    KeyBindingItem left(0.0f, 0.0f, 0.0f, u"Turn left", u"", &key(Row::kKeyLeft, 0));
    ASSERT_EQ(key(Row::kKeyRight, 1), kD);
    capture(left, kD);
    EXPECT_EQ(key(Row::kKeyLeft, 0), kD);
    EXPECT_EQ(key(Row::kKeyRight, 1), 0);  // player 2's Turn right is now unbound
    EXPECT_EQ(left.pendingCode, 0);
    EXPECT_EQ(qor->language().keyName.get(key(Row::kKeyRight, 1)), u"");

    // Return also clears the row no page shows; the same key again stays bound.
    ASSERT_EQ(key(Row::kKeyExtra, 0), kReturn);
    capture(left, kReturn);
    EXPECT_EQ(key(Row::kKeyExtra, 0), 0);
    capture(left, kReturn);
    EXPECT_EQ(key(Row::kKeyLeft, 0), kReturn);

    // A cancelled capture (Escape's code) keeps the binding and the answer.
    capture(left, kEscape);
    EXPECT_EQ(key(Row::kKeyLeft, 0), kReturn);
    EXPECT_EQ(left.pendingCode, kEscape);
}

TEST_F(KeyBindingItemTest, ThePopupTakesTheLastCodeOfABurstClosesAfterItAndEscapeCancels) {
    std::int32_t answer = 7;
    ContextKeyCapture popup(&answer, u"Fire", u"Press the new key");
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(popup.bShowPointer);
    EXPECT_EQ(popup.firstButton, nullptr);
    devices->keys[kA] = 0x80;
    engine.frame();
    popup.tickContents(0.0, 0.0);
    EXPECT_EQ(answer, kA);
    EXPECT_FALSE(popup.bFinished);
    // A second code in the very next frame replaces the first; joystick buttons count.
    devices->joysticks[0].rgbButtons[3] = 0x80;
    engine.frame();
    popup.tickContents(0.0, 0.0);
    EXPECT_EQ(answer, kPadButton3);
    engine.frame();
    popup.tickContents(0.0, 0.0);
    EXPECT_TRUE(popup.bFinished);
    ContextKeyCapture again(&answer, u"Fire", u"");
    devices->keys[kEscape] = 0x80;
    engine.frame();
    again.tickContents(0.0, 0.0);
    EXPECT_EQ(answer, KeyBindingItem::kCancelled);
}

}  // namespace
