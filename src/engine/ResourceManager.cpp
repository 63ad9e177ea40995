#include "engine/ResourceManager.h"

#include "engine/ClassInfo.h"
#include "engine/Logger.h"

QOR_DEFINE_ROOT_CLASS(ResourceManager, nullptr)

ResourceManager::ResourceManager() { QOR_LOG("ResourceManager::ResourceManager", u"Starting..."); }

ClassInfo* ResourceManager::getClass() const { return &classInfo; }
