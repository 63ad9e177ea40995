#include "ui/ContextMainGame.h"

#include "ui/ContextGameMode.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"
#include "ui/UserDataNotice.h"

void ContextMainGame::onActivate(bool first) {
    ContextMain::onActivate(first);  // saves the user data
    if (!global) return;
    global->lastHighScorePlace = -1;  // the highlighted high-score row is forgotten
    // Whatever kept the user data from loading or saving is told here, on the title.
    UserDataNotice::showUntold();
}

void ContextMainGame::onStartGame() { ScreenStack::push(new ContextGameMode()); }
