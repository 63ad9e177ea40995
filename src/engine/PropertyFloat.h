#pragma once
// A view of a float field, as decimal text ("%.9lf" of the widened value, trailing zeros removed).
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyFloat : public Property {
public:
    PropertyFloat(std::u16string name, std::uint32_t flags, float* value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;

    float* value;  // the viewed field, not owned
};
