#include "game/GameGlobal.h"

#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/GameControllerIntro.h"

Application* GameGlobal::start() {
    auto* application = new GameGlobal();
    global = application;
    application->initPreLoader();
    return application;
}

void GameGlobal::createStartScreens() {
    pContextManager->addChild(new ContextMainGame());
    pContextManager->addChild(new GameControllerIntro());
}
