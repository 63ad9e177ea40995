#include "ui/GameGlobal.h"

#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/GameControllerIntro.h"

void GameGlobal::createStartScreens() {
    pContextManager->addChild(new ContextMainGame());
    pContextManager->addChild(new GameControllerIntro());
}
