#include "engine/PropertyDWORD.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/PropertyContainer.h"
#include "engine/Serializer.h"
#include "engine/TextScan.h"

QOR_DEFINE_CLASS(PropertyDWORD, Property, nullptr)

PropertyDWORD::PropertyDWORD(std::u16string name_, std::uint32_t flags_, std::uint32_t* value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyDWORD::getClass() const { return &classInfo; }

std::u16string PropertyDWORD::toString() const { return formatString(u"%08x", *value); }

void PropertyDWORD::fromString(const std::u16string& text) {
    if (auto v = scanHex(text)) *value = *v;
}

PropertyDWORD* addPropertyDWORD(std::uint32_t* field, PropertyContainer* container, std::u16string name) {
    auto* property = new PropertyDWORD(std::move(name), 0, field);
    container->addChild(property);
    return property;
}

void PropertyDWORD::serialize(Serializer& p) { p.doRaw32(value); }
