#include "ui/Global.h"

#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
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
    // The game's data lives in its archive beside the program; without it the program
    // cannot run, and the file manager says so.
    qor->pFileManager->useWad(getApplicationFolder() + kBuildName + u".dat");
    pContextManager = new ContextManager();
}

void Global::saveUserData() {
    if (qor) qor->saveSettings();
}
