#pragma once
// A property that holds further properties as its children: the result of
// QorBase::getProperties, and nested groups within it ("StateBase").
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer : public Property {
public:
    PropertyContainer(std::u16string name, std::uint32_t flags);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // "(empty)" without children, else "...".
    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    // The name, then the children's describe() in order, separated by "," and
    // enclosed in "(" and ")".
    std::u16string describe() const override;

    // The child property of that name, or null (first match, not recursive).
    Property* findChild(std::u16string_view childName) const;
};
