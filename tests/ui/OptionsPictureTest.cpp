// Pictures of the sound options (values, volume bars, check boxes) and of a player's key
// page (the bound keys' names on their plates), compared with stored references.
#include <gtest/gtest.h>

#include "MenuPictureFixture.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "ui/ContextControls.h"
#include "ui/ContextDialog.h"
#include "ui/ContextSound.h"
#include "ui/Global.h"

namespace {
class OptionsPicture : public MenuPictureFixture {
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
    void show(ContextMenu* screen, const std::string& name) {
        screen->clearColor = 0xFF406080u;
        screen->hookBefore = nullptr;
        qor->pQorInput->setMousePos(0.0f, 0.0f, 0.0f);  // in a corner, over nothing
        holder->addChild(screen);
        expectPicture(screen, name);
    }
};

TEST_F(OptionsPicture, SoundOptions) {
    global->configuration.musicVolume = 15;
    show(new ContextSound(), "options-sound");
}

// Player 2's keys have letters for names (the test font has no arrow glyphs).
TEST_F(OptionsPicture, PlayerKeyPage) {
    global->configuration.keys[GameConfiguration::kKeyRight][1] = 0;  // an unbound control
    show(openPlayerControls(1), "options-player2-keys");
}
}  // namespace
