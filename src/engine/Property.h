#pragma once
// A named, flagged view of one field of an object. Objects do not keep properties:
// QorBase::getProperties builds a fresh PropertyContainer through the
// describeProperties chain (base class first) whenever they are wanted, for text
// display of an object's state, for setting a field from text and for the network
// encoding. A property never owns its field and is valid only while the viewed object
// lives; the container is deleted by whoever asked for it, and takes its children
// along.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"

class Serializer;

class Property : public QorBase {
public:
    // Flag bits; a property may combine them.
    static constexpr std::uint32_t kNotSerialisedA = 0x1;  // skipped by containers; also with packet flag 1
    static constexpr std::uint32_t kNotSerialisedB = 0x2;  // skipped by containers; also with packet flag 2
    static constexpr std::uint32_t kHalfFloat = 0x4;       // floats travel as 16-bit half floats
    static constexpr std::uint32_t kResource = 0x20;       // pointers travel as resource names
    static constexpr std::uint32_t kUnsigned = 0x40;       // ints travel as unsigned variable-length
    static constexpr std::uint32_t kRawPointer = 0x100;    // pointers may travel raw
    static constexpr std::uint32_t kWriteOnly = 0x200;     // serialised only when writing
    static constexpr std::uint32_t kReadOnly = 0x400;      // serialised only when reading

    Property(std::u16string name, std::uint32_t flags);

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Moves the value into or out of the packet; the base moves nothing.
    virtual void serialize(Serializer& /*p*/) {}
    // The children's netSerialize in order, unless the packet's flags 1 or 2 meet the
    // same bits of this property's flags.
    void netSerialize(Serializer& p) override;

    // The value as text; the base has none.
    virtual std::u16string toString() const { return {}; }
    // Sets the value from text; text that does not read as a value changes nothing.
    virtual void fromString(const std::u16string& /*text*/) {}
    // "name:value".
    virtual std::u16string describe() const;

    // "%.9lf" of the value with trailing zeros after the point removed, keeping one
    // digit after it: 1.5, 2.0, 0.0, 0.100000001.
    static std::u16string formatDecimal(double value);

    std::uint32_t flags = 0;
    std::u16string name;  // may be empty (the arguments of remote calls)
};
