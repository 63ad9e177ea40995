#pragma once
// A view of a signed 32-bit integer field, as decimal text.
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyInt : public Property {
public:
    PropertyInt(std::u16string name, std::uint32_t flags, std::int32_t* value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;

    std::int32_t* value;  // the viewed field, not owned
};

// Appends an integer property (flags 0) to `container`; for remote-call arguments.
PropertyInt* addPropertyInt(std::int32_t* field, PropertyContainer* container, std::u16string name);
