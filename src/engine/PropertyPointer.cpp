#include "engine/PropertyPointer.h"

#include <cstdint>

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/PropertyContainer.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/Serializer.h"

QOR_DEFINE_CLASS(PropertyPointer, Property, nullptr)

namespace {
ResourceManager* resources() { return &qor->resources(); }
}  // namespace

PropertyPointer::PropertyPointer(std::u16string name_, std::uint32_t flags_, QorBase** value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyPointer::getClass() const { return &classInfo; }

void PropertyPointer::set(QorBase* v) { *value = v; }

std::u16string PropertyPointer::toString() const {
    if (ResourceManager* r = resources()) {
        std::u16string registered = r->getName(*value);
        if (!registered.empty()) return registered;
    }
    if (!*value) return u"NULL";
    return formatString(u"%08llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(*value)));
}

void PropertyPointer::fromString(const std::u16string& text) {
    if (ResourceManager* r = resources()) {
        if (QorBase* found = r->find(false, text)) {
            set(found);
            return;
        }
    }
    if (text == u"0" || text == u"NULL") set(nullptr);
}

std::u16string PropertyPointer::describe() const {
    if (!*value) return formatString(u"%s:NULL", name);
    return formatString(u"%s:%s%d", name, (*value)->getClass()->name, (*value)->objectUID);
}

PropertyPointer* addPropertyPointer(QorBase** field, PropertyContainer* container, std::u16string name) {
    auto* property = new PropertyPointer(std::move(name), 0, field);
    container->addChild(property);
    return property;
}

void PropertyPointer::serialize(Serializer& p) {
    QorBase* target = *value;
    if (flags & kRawPointer)
        p.doPointer(target);
    else if (flags & kResource)
        p.doResourcePointer2(target);
    else
        p.doPointer2(target);
    set(target);
}
