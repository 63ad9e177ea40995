#pragma once
// A view of a pointer to an engine object. As text it is the target's resource name
// when the target is registered, "NULL" for none, and otherwise the target's address
// (for diagnostics only). From text it accepts only what can be trusted: a registered
// resource name, "0" or "NULL"; any other text leaves the field unchanged, so no text
// ever becomes a raw address.
#include <cstdint>
#include <string>

#include "engine/Property.h"

class PropertyContainer;

class PropertyPointer : public Property {
public:
    PropertyPointer(std::u16string name, std::uint32_t flags, QorBase** value);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void serialize(Serializer& p) override;
    std::u16string toString() const override;
    void fromString(const std::u16string& text) override;
    // "name:NULL", or "name:<class name><objectUID>" (pObject:Renderable12).
    std::u16string describe() const override;
    // Stores `v` into the viewed field.
    virtual void set(QorBase* v);

    QorBase** value;  // the viewed field, not owned
};

// Appends a pointer property (flags 0) to `container`; for remote-call arguments.
PropertyPointer* addPropertyPointer(QorBase** field, PropertyContainer* container, std::u16string name);
