#include "ui/Global.h"

#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "ui/ContextManager.h"

Global* global = nullptr;

Global::~Global() {
    saveUserData();
    if (pContextManager) pContextManager->destroy();
    pContextManager = nullptr;
}

void Global::initPreLoader() {
    ClassRegistry* m = &ClassRegistry::instance();
    m->buildIndex();
    QOR_ASSERT("Global::initPreLoader", !m->bBadClasses);
    pContextManager = new ContextManager();
}

void Global::saveUserData() {
    if (qor) qor->saveSettings();
}
