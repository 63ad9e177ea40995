#include "ui/ContextMainGame.h"

#include "ui/ContextGameMode.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"

void ContextMainGame::onActivate(bool first) {
    ContextMenu::onActivate(first);
    if (global) global->saveUserData();
}

void ContextMainGame::onStartGame() { ScreenStack::push(new ContextGameMode()); }
