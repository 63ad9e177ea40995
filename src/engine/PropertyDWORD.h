#pragma once
// A view of an unsigned 32-bit field, as eight hexadecimal digits.
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyDWORD : public Property {
public:
    PropertyDWORD(std::u16string name, std::uint32_t flags, std::uint32_t* value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;

    std::uint32_t* value;  // the viewed field, not owned
};

// Appends a 32-bit word property (flags 0) to `container`; for remote-call arguments.
PropertyDWORD* addPropertyDWORD(std::uint32_t* field, PropertyContainer* container, std::u16string name);
