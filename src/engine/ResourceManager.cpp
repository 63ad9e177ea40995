#include "engine/ResourceManager.h"

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"

QOR_DEFINE_ROOT_CLASS(ResourceManager, nullptr)

ResourceManager::ResourceManager() { QOR_LOG("ResourceManager::ResourceManager", u"Starting..."); }

ClassInfo* ResourceManager::getClass() const { return &classInfo; }

ResourceManager::~ResourceManager() {
    QOR_LOG("ResourceManager::~ResourceManager", u"Destroying %d resources.", count);
}

void ResourceManager::addResource(QorBase* resource, const std::u16string& name) {
    auto& map = byName;
    const std::u16string& key = name;
    QOR_ASSERT("ResourceManager::addResource", map.find(key) == map.end());
    map.emplace(key, resource);
    // One object may be registered under several names; getName gives the first.
    byResource.try_emplace(resource, name);
    ++count;
}

QorBase* ResourceManager::find(bool bFatal, std::u16string_view name) const {
    const auto it = byName.find(std::u16string(name));
    if (it != byName.end()) return it->second;
    if (bFatal) QOR_FATAL("ResourceManager::find", u"Could not find resource '%s'.", std::u16string(name));
    return nullptr;
}

std::u16string ResourceManager::getName(const QorBase* resource) const {
    const auto it = byResource.find(resource);
    return it == byResource.end() ? std::u16string() : it->second;
}
