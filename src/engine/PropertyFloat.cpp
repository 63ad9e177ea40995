#include "engine/PropertyFloat.h"

#include <cfloat>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Serializer.h"
#include "engine/TextScan.h"

QOR_DEFINE_CLASS(PropertyFloat, Property, nullptr)

PropertyFloat::PropertyFloat(std::u16string name_, std::uint32_t flags_, float* value_)
    : Property(std::move(name_), flags_), value(value_) {}

ClassInfo* PropertyFloat::getClass() const { return &classInfo; }

std::u16string PropertyFloat::toString() const { return formatDecimal(static_cast<double>(*value)); }

void PropertyFloat::fromString(const std::u16string& text) {
    const auto v = scanDouble(text);
    if (!v) return;
    // Narrowing a double beyond the float range is undefined; a float scan gives infinity.
    *value = std::fabs(*v) > FLT_MAX ? (*v > 0 ? INFINITY : -INFINITY) : static_cast<float>(*v);
}

void PropertyFloat::serialize(Serializer& p) {
    if (flags & kHalfFloat)
        p.doHalfFloat(*value);
    else
        p.doRaw32(value);
}
