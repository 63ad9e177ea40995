#include <gtest/gtest.h>

#include "game/InGameOverlay.h"
#include "support/MenuTestEngine.h"

namespace {
constexpr int kFireKey = 57;

// A tip overlay driven as the screen stack drives its top screen: input first, then the
// context's clock and contents (no display here, so the clock is kept by the test).
class InGameOverlayTest : public ::testing::Test {
protected:
    InGameOverlayTest() : devices(engine.scriptInput()) {
        engine.input().setInputMode(QorInput::kModeMouse);
        engine.makeGlobal();
        global->configuration.keys[GameConfiguration::kKeyFire][0] = 42;
        global->configuration.keys[GameConfiguration::kKeyFire][1] = kFireKey;
        overlay = new InGameOverlay();
        overlay->addLine(u"Tree destroyed!", MenuFonts::kLarge, 100.0f);
    }
    ~InGameOverlayTest() override { overlay->destroy(); }

    // One frame of 1/32 s.
    void frame() {
        engine.frame(0.03125);
        overlay->localTime += 0.03125;
        overlay->tickContents(overlay->localTime, 0.03125);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    void setFire(bool down) { devices.keys[kFireKey] = down ? 0x80 : 0x00; }
    bool contentShown() const { return overlay->pContent->parent != nullptr; }

    MenuTestEngine engine;
    ScriptedDevices& devices;
    InGameOverlay* overlay = nullptr;
};
}  // namespace

TEST_F(InGameOverlayTest, OpensForHalfASecondAndOnlyAFireKeyGoingDownOnceShownClosesIt) {
    setFire(true);  // held while opening: never counts
    frames(8);
    EXPECT_FALSE(contentShown());
    EXPECT_FLOAT_EQ(overlay->barSize, -20.0f + 68.0f * 0.75f);
    EXPECT_EQ(overlay->panelColour >> 24, 96u);
    frames(12);
    EXPECT_EQ(overlay->state, InGameOverlay::kShown);
    EXPECT_TRUE(contentShown());
    setFire(false);
    frame();
    setFire(true);
    frame();
    EXPECT_EQ(overlay->state, InGameOverlay::kClosing);
    EXPECT_EQ(overlay->pContent->firstChild, nullptr);  // the lines go at once
    frames(8);
    EXPECT_FLOAT_EQ(overlay->barSize, 31.0f);
    EXPECT_FALSE(overlay->bFinished);
    frames(8);
    EXPECT_TRUE(overlay->bFinished);
}

TEST_F(InGameOverlayTest, ATouchAlsoClosesIt) {
    frames(17);
    engine.input().addMouseContact();
    frame();
    EXPECT_EQ(overlay->state, InGameOverlay::kClosing);
}
