#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextPlayers.h"
#include "ui/ContextPopup.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/ProfileList.h"

namespace {
class ContextPlayersTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.makeGlobal();
        screen = new ContextPlayers();
        global->pContextManager->addChild(screen);
    }
    void addProfiles(int n) {
        for (int i = 0; i < n; ++i) global->profiles.createProfile(std::u16string(1, static_cast<char16_t>(u'A' + i)));
    }
    Context* top() { return global->pContextManager->top(); }
    MenuTestEngine engine;
    ContextPlayers* screen = nullptr;
};

TEST_F(ContextPlayersTest, AddStopsAtEightAndDeleteAtOne) {
    struct Case {
        int profiles;
        bool addDisabled, deleteDisabled;
    };
    int made = 0;
    for (const Case& c : {Case{1, false, true}, Case{2, false, false}, Case{7, false, false}, Case{8, true, false}}) {
        addProfiles(c.profiles - made);
        made = c.profiles;
        screen->tickContents(0.0, 0.0);
        EXPECT_EQ(screen->pAddButton->bDisabled, c.addDisabled) << c.profiles;
        EXPECT_EQ(screen->pDeleteButton->bDisabled, c.deleteDisabled) << c.profiles;
    }
}

TEST_F(ContextPlayersTest, RowsAreThirtyHighFromOneHundredAndFifty) {
    EXPECT_EQ(ContextPlayers::rowAt({0.0f, 150.0f, 0.0f}, 3), 0);
    EXPECT_EQ(ContextPlayers::rowAt({0.0f, 120.0f, 0.0f}, 3), 1);
    EXPECT_EQ(ContextPlayers::rowAt({-150.0f, 90.0f, 0.0f}, 3), 2);
    EXPECT_EQ(ContextPlayers::rowAt({0.0f, 60.0f, 0.0f}, 3), -1);  // row 3 has no profile
    EXPECT_EQ(ContextPlayers::rowAt({150.0f, 140.0f, 0.0f}, 3), -1);
    EXPECT_EQ(ContextPlayers::rowAt({0.0f, 150.5f, 0.0f}, 3), -1);
    addProfiles(2);
    ProfileList list;  // outside a menu its points stay in world units
    EXPECT_FLOAT_EQ(list.getNavigationPoint(1).x, -150.0f);
    EXPECT_FLOAT_EQ(list.getNavigationPoint(1).y, 105.0f);
    EXPECT_FLOAT_EQ(list.getNavigationPoint(2).z, NavigationTarget::kNoPoint.z);
}

TEST_F(ContextPlayersTest, AddAsksForANameAndDeleteAsksFirst) {
    addProfiles(2);
    screen->pAddButton->bTriggered = 1;
    screen->tickContents(0.0, 0.0);
    auto* entry = dynamic_cast<ContextEnterName*>(top());
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->bCloseOnEscape);
    entry->bFinished = 1;
    global->pContextManager->tick(0.0, 0.0);
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->pDeleteButton->questionText, u"Are you sure?");
    screen->pDeleteButton->answer = 0;  // "Yes"
    screen->pDeleteButton->tick(0.0, 0.0);
    screen->tickContents(0.0, 0.0);
    EXPECT_EQ(global->profiles.countProfiles(), 1);
    EXPECT_EQ(global->profiles.getProfileName(global->profiles.current), u"A");
}
}  // namespace

#include "MenuPictureFixture.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"

namespace {
class ContextPlayersPicture : public MenuPictureFixture {
protected:
    void SetUp() override {
        MenuPictureFixture::SetUp();
        if (started) global = new GameGlobal();
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
        }
        MenuPictureFixture::TearDown();
    }
};

TEST_F(ContextPlayersPicture, ThreePlayersTheSecondCurrent) {
    for (const char16_t* name : {u"Ann", u"Bob", u"Carla Longname-Lastname"}) global->profiles.createProfile(name);
    global->profiles.current = 1;
    auto* screen = new ContextPlayers();
    screen->clearColor = 0xFF406080u;
    qor->pQorInput->setMousePos(0.0f, 0.0f, 0.0f);  // in a corner, over nothing
    holder->addChild(screen);
    expectPicture(screen, "players-screen");
}
}  // namespace
