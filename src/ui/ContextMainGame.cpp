#include "ui/ContextMainGame.h"

#include "ui/ContextGameMode.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"

void ContextMainGame::onActivate(bool first) {
    ContextMenu::onActivate(first);
    if (!global) return;
    global->saveUserData();
    global->lastHighScorePlace = -1;  // the highlighted high-score row is forgotten
}

void ContextMainGame::onStartGame() { ScreenStack::push(new ContextGameMode()); }
