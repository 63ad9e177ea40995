#include "ui/ContextCrashReport.h"

#include "ui/ContextMenuBackground.h"
#include "ui/Global.h"

ContextCrashReport::ContextCrashReport() {
    bDeleteOnClose = 1;
    bCloseOnFireKey = 1;
    hookBefore = global->pMenuBackground;
}
