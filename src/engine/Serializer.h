#pragma once
// What reflected properties and objects need of a message encoding to write themselves
// into it or read themselves back; the network layer's packet implements it. Each
// serialiser takes its value by reference: a writing serialiser appends the value, a
// reading one consumes it and stores the value. A reading serialiser never reads past
// its message: a message that ends early or holds a malformed value sets `bBad`, and
// every later read yields zero.
#include <cstdint>

class QorBase;

class Serializer {
public:
    // Flags.
    static constexpr std::uint32_t kOnlyRegisteredChildren = 0x1;  // children without an id are not written
    static constexpr std::uint32_t kRawPointers = 0x2;             // objects by doPointer
    static constexpr std::uint32_t kClassHashes = 0x4;             // classes as name hashes; objects carry a marker
    static constexpr std::uint32_t kObjectMarker = 0xFEFDFCFBu;

    virtual ~Serializer() = default;

    virtual void doBool(std::uint8_t& b, int bit) = 0;
    virtual void doInt(std::int32_t& v) = 0;
    virtual void doUInt(std::uint32_t& v) = 0;
    virtual void doHalfFloat(float& f) = 0;
    // Four bytes as they lie in memory.
    virtual void doRaw32(void* value) = 0;
    // The object's network id (0 for none); true when the reference is not null.
    virtual bool doPointer2(QorBase*& object) = 0;
    virtual bool doPointer(QorBase*& object) = 0;
    // The object as the name under which the resource registry holds it.
    virtual void doResourcePointer2(QorBase*& object) = 0;

    std::uint32_t flags = 0;
    std::uint8_t bWriting = 1;  // 1 writes, 0 reads
    std::uint8_t bBad = 0;      // a read ran past the message or met a malformed value
};
