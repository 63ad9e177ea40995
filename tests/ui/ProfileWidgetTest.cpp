#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextPlayers.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/ProfileWidget.h"

namespace {
constexpr UColor kNormal = 0xFFCCCCCCu, kHovered = 0xFFFF0000u;

class ProfileWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.makeGlobal();
        menu = new ContextMenu();
        global->pContextManager->addChild(menu);
        widget = new ProfileWidget();
        menu->addItem(widget);
    }
    Context* top() { return global->pContextManager->top(); }
    void tickWithPointerAt(float x, float y) { engine.tickIn(*menu, *widget, {x, y, 0.0f}); }

    MenuTestEngine engine;
    ContextMenu* menu = nullptr;
    ProfileWidget* widget = nullptr;
};

TEST_F(ProfileWidgetTest, GreetsTheCurrentPlayerAndTheHintFollowsTheInputMode) {
    global->profiles.createProfile(u"Ann");
    tickWithPointerAt(300.0f, 300.0f);
    EXPECT_EQ(widget->nameLabel->text, u"Hello, Ann!");
    EXPECT_EQ(widget->hintLabel->text, u"Click here to change players.");
    engine.input().setInputMode(QorInput::kModeTouch);
    EXPECT_EQ(widget->hintLabel->text, u"Tap here to change players.");
    EXPECT_EQ(global->configuration.bNameRequested, 0);
    EXPECT_EQ(top(), menu);
}

TEST_F(ProfileWidgetTest, TheHoverBoxIs200WideAnd36HighBelowTheGreeting) {
    global->profiles.createProfile(u"Ann");
    const float y = widget->nameLabel->position.y;
    struct Case {
        float x, y;
        UColor colour;
    };
    for (const Case& c : {Case{-100.0f, y, kHovered}, Case{99.0f, y - 35.0f, kHovered}, Case{100.0f, y, kNormal},
                          Case{-101.0f, y, kNormal}, Case{0.0f, y + 0.5f, kNormal}, Case{0.0f, y - 36.0f, kNormal}}) {
        tickWithPointerAt(c.x, c.y);
        EXPECT_EQ(widget->nameLabel->color, c.colour) << c.x << ", " << c.y;
    }
}

TEST_F(ProfileWidgetTest, APressOnTheGreetingOpensThePlayersScreen) {
    global->profiles.createProfile(u"Ann");
    const float y = widget->nameLabel->position.y;
    engine.click([&] { tickWithPointerAt(0.0f, y - 10.0f); });
    EXPECT_NE(dynamic_cast<ContextPlayers*>(top()), nullptr);
}

TEST_F(ProfileWidgetTest, APlayerWithoutANameIsAskedForOneAtOnce) {
    tickWithPointerAt(300.0f, 300.0f);
    EXPECT_EQ(widget->nameLabel->text, u"Hello, !");
    EXPECT_EQ(global->configuration.bNameRequested, 1);
    EXPECT_NE(dynamic_cast<ContextEnterName*>(top()), nullptr);
}
}  // namespace
