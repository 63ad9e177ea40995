#include "ui/GameGlobal.h"

void GameGlobal::createStartScreens() {}
