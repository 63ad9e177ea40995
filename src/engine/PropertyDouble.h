#pragma once
// A view of a double field, as decimal text ("%.9lf" with trailing zeros removed).
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyDouble : public Property {
public:
    PropertyDouble(std::u16string name, std::uint32_t flags, double* value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;

    double* value;  // the viewed field, not owned
};

// Appends a double property (flags 4: half float) to `container`; for remote-call arguments.
PropertyDouble* addPropertyDouble(double* field, PropertyContainer* container, std::u16string name);
