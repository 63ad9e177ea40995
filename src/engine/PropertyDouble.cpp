#include "engine/PropertyDouble.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/PropertyContainer.h"
#include "engine/Serializer.h"
#include "engine/TextScan.h"

QOR_DEFINE_CLASS(PropertyDouble, Property, nullptr)

PropertyDouble::PropertyDouble(std::u16string name_, std::uint32_t flags_, double* value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyDouble::getClass() const { return &classInfo; }

std::u16string PropertyDouble::toString() const { return formatDecimal(*value); }

void PropertyDouble::fromString(const std::u16string& text) {
    if (auto v = scanDouble(text)) *value = *v;
}

PropertyDouble* addPropertyDouble(double* field, PropertyContainer* container, std::u16string name) {
    auto* property = new PropertyDouble(std::move(name), Property::kHalfFloat, field);
    container->addChild(property);
    return property;
}

void PropertyDouble::serialize(Serializer& p) {
    // The field comes back as the single-precision value that travelled.
    auto narrowed = static_cast<float>(*value);
    if (flags & kHalfFloat)
        p.doHalfFloat(narrowed);
    else
        p.doRaw32(&narrowed);
    *value = narrowed;
}
