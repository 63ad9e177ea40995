#include "ui/GameControllerIntro.h"

#include "ui/ContextMenuBackground.h"
#include "ui/Global.h"

GameControllerIntro::GameControllerIntro() {
    duration = kDuration;
    bDeleteOnClose = 1;
    bCloseOnFireKey = 1;
    bShowPointer = 0;
    hookBefore = global->pMenuBackground;
}
