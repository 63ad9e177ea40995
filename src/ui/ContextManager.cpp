#include "ui/ContextManager.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(ContextManager, Context, nullptr)

ClassInfo* ContextManager::getClass() const { return &classInfo; }

void ContextManager::tickContents(double time, double dt) {
    tickState(time, dt);
    if (QorBase* screen = top()) {
        hadScreens = true;
        screen->tick(time, dt);
    } else if (hadScreens) {
        bQuitRequested = 1;
    }
}

void ContextManager::renderContents() {
    if (QorBase* screen = top()) screen->render();
}

QorBase* ContextManager::findNthHit(int& n) {
    QorBase* screen = top();
    return screen ? screen->findNthHit(n) : nullptr;
}
