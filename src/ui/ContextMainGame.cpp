#include "ui/ContextMainGame.h"

#include "ui/ContextMenuBackground.h"
#include "ui/Global.h"
#include "ui/LogoImage.h"

namespace {
constexpr float kLogoY = 96.0f;
}

ContextMainGame::ContextMainGame() {
    bDeleteOnClose = 1;
    bConfirmClose = 1;
    hookBefore = global->pMenuBackground;
    hookAfter = global->pMenuForeground;
    auto* logo = new LogoImage();
    logo->setPosition(0.0f, kLogoY, 0.0f);
    addChild(logo);
}

void ContextMainGame::onActivate(bool) {
    global->lastHighScorePlace = -1;
    global->saveUserData();
}
