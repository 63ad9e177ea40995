#include "engine/Qor.h"

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"

// What every layer needs of the engine object: its record, the `qor` pointer, the
// settings paths, the leak report. Building, running and tearing down the services is
// in src/runtime/Qor.cpp, above the layers of the services themselves.

QOR_DEFINE_ROOT_CLASS(Qor, nullptr)

Qor* qor = nullptr;

Qor::Qor(Headless) { qor = this; }

ClassInfo* Qor::getClass() const { return &classInfo; }

void Qor::serviceMissing(const char* field) {
    fatalErrorAt("Qor::serviceMissing", __FILE__, __LINE__,
                 formatString(u"The engine service %hs does not exist.", field));
}

void Qor::purgeResources() {
    forEachObject([](QorBase* o) { o->purge(); });
}

int Qor::countObjects() {
    int n = 0;
    forEachObject([&n](QorBase*) { ++n; });
    return n;
}

void Qor::reportLeaks() {
    QOR_LOG("Qor::~Qor", u"Objects still allocated (memory leaks?): %d", countObjects());
    int number = 0;
    forEachObject([this, &number](QorBase* object) {
        // The parent may be a plain list head rather than an engine object, so it is
        // compared as a node, never cast.
        std::u16string parentText = u"--";
        if (const BasicLink* parentNode = object->parent) {
            int parentNumber = -1, i = 0;
            forEachObject([&](QorBase* o) {
                if (static_cast<BasicLink*>(o) == parentNode) parentNumber = i;
                ++i;
            });
            parentText = parentNumber >= 0 ? formatString(u"parent=[%d]", parentNumber) : u"parent=***FREED***";
        }
        QOR_LOG("Qor::~Qor", u"%8d. %s\t\t\t(uid=%d %s)", number++, object->getClass()->name, object->objectUID,
                parentText);
    });
}

std::u16string Qor::getConfigFileName() { return std::u16string(kBuildName) + u".cfg"; }
std::u16string Qor::getConfigFilePath() { return getDataFolder() + getConfigFileName(); }
std::u16string Qor::getStaticConfigFileName() { return std::u16string(kBuildName) + u".cfg.static"; }
std::u16string Qor::getStaticConfigFilePath() { return getApplicationFolder() + getStaticConfigFileName(); }
