#include "engine/ClassRegistry.h"

#include "engine/ClassInfo.h"

ClassRegistry& ClassRegistry::instance() {
    // Never destroyed: records are static objects whose destructors run at exit in an
    // order we do not control, and each unregisters itself here.
    static ClassRegistry* registry = new ClassRegistry();
    return *registry;
}

void ClassRegistry::add(ClassInfo* record) {
    record->next = head;
    head = record;
}

void ClassRegistry::remove(ClassInfo* record) {
    for (ClassInfo** link = &head; *link; link = &(*link)->next) {
        if (*link == record) {
            *link = record->next;
            break;
        }
    }
    std::erase(sorted, record);
}

void ClassRegistry::buildIndex() {
    if (!sorted.empty()) return;
    for (ClassInfo* r = head; r; r = r->next) sorted.push_back(r);
    // Selection sort: the list is short and built once, and a plain scan is what lets
    // every duplicate pair meet in a comparison.
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
        std::size_t smallest = i;
        for (std::size_t j = i + 1; j < sorted.size(); ++j) {
            int order = sorted[j]->name.compare(sorted[smallest]->name);
            if (order == 0) bBadClasses = true;
            if (order < 0) smallest = j;
        }
        std::swap(sorted[i], sorted[smallest]);
    }
    for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i]->index = static_cast<std::int32_t>(i);
}

ClassInfo* ClassRegistry::findById(std::uint32_t id) const {
    for (ClassInfo* r = head; r; r = r->next)
        if (r->id == id) return r;
    return nullptr;
}

ClassInfo* ClassRegistry::findByName(std::u16string_view name) const {
    for (ClassInfo* r = head; r; r = r->next)
        if (r->name == name) return r;
    return nullptr;
}

ClassInfo* ClassRegistry::findByIndex(std::int64_t i) const {
    if (i < 0 || i >= static_cast<std::int64_t>(sorted.size())) return nullptr;
    return sorted[static_cast<std::size_t>(i)];
}

int ClassRegistry::count() const {
    int n = 0;
    for (ClassInfo* r = head; r; r = r->next) ++n;
    return n;
}
