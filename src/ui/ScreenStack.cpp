#include "ui/ScreenStack.h"

#include "render/Context.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"

Context* ScreenStack::top() {
    if (!global || !global->pContextManager) return nullptr;
    return static_cast<Context*>(static_cast<QorBase*>(global->pContextManager->lastChild));
}

void ScreenStack::push(Context* screen) {
    if (!global || !global->pContextManager) {
        screen->destroy();
        return;
    }
    screen->bFinished = 0;
    global->pContextManager->addChild(screen);
}

void ScreenStack::requestQuit() {
    if (global && global->pContextManager) global->pContextManager->bQuitRequested = 1;
}
