#include "game/GameGlobal.h"

#include "game/GameControllerIntro.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"

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
