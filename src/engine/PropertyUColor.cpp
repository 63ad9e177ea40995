#include "engine/PropertyUColor.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Serializer.h"
#include "engine/TextScan.h"

QOR_DEFINE_CLASS(PropertyUColor, Property, nullptr)

PropertyUColor::PropertyUColor(std::u16string name_, std::uint32_t flags_, std::uint32_t* value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyUColor::getClass() const { return &classInfo; }

std::u16string PropertyUColor::toString() const { return formatString(u"%08x", *value); }

void PropertyUColor::fromString(const std::u16string& text) {
    if (auto v = scanHex(text)) *value = *v;
}

void PropertyUColor::serialize(Serializer& p) { p.doRaw32(value); }
