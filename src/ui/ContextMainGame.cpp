#include "ui/ContextMainGame.h"

#include "ui/ContextGameMode.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"

void ContextMainGame::onActivate(bool first) {
    ContextMain::onActivate(first);               // saves the user data
    if (global) global->lastHighScorePlace = -1;  // the highlighted high-score row is forgotten
}

void ContextMainGame::onStartGame() { ScreenStack::push(new ContextGameMode()); }
