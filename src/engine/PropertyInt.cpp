#include "engine/PropertyInt.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/PropertyContainer.h"
#include "engine/Serializer.h"
#include "engine/TextScan.h"

QOR_DEFINE_CLASS(PropertyInt, Property, nullptr)

PropertyInt::PropertyInt(std::u16string name_, std::uint32_t flags_, std::int32_t* value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyInt::getClass() const { return &classInfo; }

std::u16string PropertyInt::toString() const { return formatString(u"%d", *value); }

void PropertyInt::fromString(const std::u16string& text) {
    if (auto v = scanInt(text)) *value = *v;
}

PropertyInt* addPropertyInt(std::int32_t* field, PropertyContainer* container, std::u16string name) {
    auto* property = new PropertyInt(std::move(name), 0, field);
    container->addChild(property);
    return property;
}

void PropertyInt::serialize(Serializer& p) {
    if (flags & kUnsigned) {
        auto u = static_cast<std::uint32_t>(*value);
        p.doUInt(u);
        *value = static_cast<std::int32_t>(u);
    } else {
        p.doInt(*value);
    }
}
