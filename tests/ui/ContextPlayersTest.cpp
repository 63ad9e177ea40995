#include <gtest/gtest.h>

#include "MenuPictureFixture.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextPlayers.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"

namespace {
TEST(ContextPlayersTest, AddStopsAtEightDeleteAtOneAndRowsAreThirtyHighFromOneHundredAndFifty) {
    MenuTestEngine engine;
    engine.makeGlobal();
    ContextPlayers screen;
    for (int n = 1; n <= 8; ++n) {
        global->profiles.createProfile(u"P");
        screen.tickContents(0.0, 0.0);
        EXPECT_EQ(screen.pAddButton->bDisabled, n == 8) << n;
        EXPECT_EQ(screen.pDeleteButton->bDisabled, n == 1) << n;
    }
    EXPECT_EQ(ContextPlayers::rowAt({0.0f, 150.0f, 0.0f}, 3), 0);
    EXPECT_EQ(ContextPlayers::rowAt({-150.0f, 120.0f, 0.0f}, 3), 1);
    for (const Vector3& outside :
         {Vector3{0.0f, 60.0f, 0.0f}, Vector3{150.0f, 140.0f, 0.0f}, Vector3{0.0f, 150.5f, 0.0f}})
        EXPECT_EQ(ContextPlayers::rowAt(outside, 3), -1) << outside.x << ", " << outside.y;
}

class ContextPlayersPicture : public MenuPictureFixture {
protected:
    void TearDown() override {
        delete global;
        global = nullptr;
        MenuPictureFixture::TearDown();
    }
};

TEST_F(ContextPlayersPicture, ThreePlayersTheSecondCurrent) {
    global = new GameGlobal();
    for (const char16_t* name : {u"Ann", u"Bob", u"Carla Longname-Lastname"}) global->profiles.createProfile(name);
    global->profiles.current = 1;
    auto* screen = new ContextPlayers();
    screen->clearColor = 0xFF406080u;
    qor->pQorInput->setMousePos(0.0f, 0.0f, 0.0f);  // in a corner, over nothing
    holder->addChild(screen);
    expectPicture(screen, "players-screen");
}
}  // namespace
