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

// The test font draws 10 units a character in lines 24 high: "Hello, Ann!" is 110
// wide, "Click here to change players." 290, and the invitation's line reaches from its
// top at y 5 down to -19.
TEST_F(ProfileWidgetTest, TheHoverBoxCoversBothLinesAsDrawnAndIsAtLeast200By36) {
    global->profiles.createProfile(u"Ann");
    const float y = widget->nameLabel->position.y;
    const float hintBottom = widget->hintLabel->position.y - 24.0f;
    struct Case {
        float x, y;
        UColor colour;
    };
    auto check = [&](std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            tickWithPointerAt(c.x, c.y);
            EXPECT_EQ(widget->nameLabel->color, c.colour) << c.x << ", " << c.y;
        }
    };
    check({{-145.0f, y, kHovered},
           {144.0f, hintBottom + 0.5f, kHovered},
           {145.0f, y, kNormal},
           {-146.0f, y, kNormal},
           {0.0f, y + 0.5f, kNormal},
           {0.0f, hintBottom, kNormal}});
    widget->hintLabel->text = u"Tap";  // narrower than the least width
    check({{-100.0f, y, kHovered}, {99.0f, y - 35.0f, kHovered}, {100.0f, y, kNormal}, {-101.0f, y, kNormal}});
}

TEST_F(ProfileWidgetTest, APressOnTheInvitationToClickOpensThePlayersScreen) {
    global->profiles.createProfile(u"Ann");
    const float y = widget->hintLabel->position.y;
    engine.click([&] { tickWithPointerAt(0.0f, y - 20.0f); });
    EXPECT_NE(dynamic_cast<ContextPlayers*>(top()), nullptr);
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
