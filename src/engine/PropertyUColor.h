#pragma once
// A view of a colour field (alpha, red, green, blue from the top byte), as eight hexadecimal digits.
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyUColor : public Property {
public:
    PropertyUColor(std::u16string name, std::uint32_t flags, std::uint32_t* value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;

    std::uint32_t* value;  // the viewed field, not owned
};
