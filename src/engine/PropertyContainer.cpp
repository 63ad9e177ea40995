#include "engine/PropertyContainer.h"

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Serializer.h"

QOR_DEFINE_CLASS(PropertyContainer, Property, nullptr)

PropertyContainer::PropertyContainer(std::u16string name_, std::uint32_t flags_) : Property(std::move(name_), flags_) {}

ClassInfo* PropertyContainer::getClass() const { return &classInfo; }

std::u16string PropertyContainer::toString() const { return firstChild ? u"..." : u"(empty)"; }

std::u16string PropertyContainer::describe() const {
    std::u16string text = name + u"(";
    bool first = true;
    for (ChildIterator it(const_cast<PropertyContainer*>(this)); !it.done; it.next()) {
        if (!first) text += u",";
        first = false;
        text += static_cast<Property*>(it.current)->describe();
    }
    return text + u")";
}

Property* PropertyContainer::findChild(std::u16string_view childName) const {
    for (ChildIterator it(const_cast<PropertyContainer*>(this)); !it.done; it.next()) {
        auto* property = static_cast<Property*>(it.current);
        if (property->name == childName) return property;
    }
    return nullptr;
}

void PropertyContainer::serialize(Serializer& p) {
    for (ChildIterator it(this); !it.done; it.next()) {
        auto* child = static_cast<Property*>(it.current);
        if (child->flags & (kNotSerialisedA | kNotSerialisedB)) continue;
        if ((child->flags & kWriteOnly) && !p.bWriting) continue;
        if ((child->flags & kReadOnly) && p.bWriting) continue;
        child->serialize(p);
    }
}
