#pragma once
// The registry of shared resources: textures, their skins ("<texture>:<i>"), sounds,
// music streams and fonts are registered once under a name when loaded and found by
// that name wherever they are used. Names are compared exactly.
//
// The registry does not own the resources and never removes one: a resource deleted
// while registered leaves its entry behind, so resources are deleted only after the
// registry is gone, or their names are never looked up again.
#include <string>
#include <string_view>
#include <unordered_map>

class ClassInfo;
class QorBase;

class ResourceManager {
public:
    ResourceManager();
    virtual ClassInfo* getClass() const;
    virtual ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;
    static ClassInfo classInfo;

    // Registers `resource` under `name`; a name registered twice is fatal.
    void addResource(QorBase* resource, const std::u16string& name);
    // The resource of that name; a missing name is fatal with bFatal, else null.
    QorBase* find(bool bFatal, std::u16string_view name) const;
    // The name under which `resource` is registered, or an empty text.
    std::u16string getName(const QorBase* resource) const;

    int count = 0;  // registrations since start-up; it only grows

private:
    std::unordered_map<std::u16string, QorBase*> byName;
    std::unordered_map<const QorBase*, std::u16string> byResource;
};
