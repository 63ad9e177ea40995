#pragma once
// The packet encoding of the network layer: a message is the concatenation of what its
// describing functions move through the do* serialisers, in the same order on both
// sides. Each serialiser takes its value by reference: a writing packet appends the
// value's bytes at the cursor, a reading packet consumes them and stores the value.
//
// Integers travel as variable-length integers, eight booleans share one bit byte,
// floats as 16-bit half floats, objects as their network ids, classes as registry
// indices (or name hashes with kClassHashes). Multi-byte fixed values are little-endian.
//
// A reading packet never reads outside the bytes it was given: a message that ends
// early, or holds a malformed value (a variable-length integer of more than 5 bytes, a
// string of 1024 bytes or more or longer than its maximum, a class, object or resource
// this side does not have), sets `bBad` and every later read yields zero.
// The network layer rejects such a message. Writing grows the buffer as needed.
//
// Main thread only; the packet owns its buffer.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/QorBase.h"
#include "engine/Serializer.h"
#include "net/NetAddress.h"

class ClassInfo;

class Packet : public QorBase, public Serializer {
public:
    static constexpr int kDefaultCapacity = 0x40000;
    static constexpr int kMaxStringBytes = 1024;

    // A packet for writing; a capacity below 0 reserves the default 256 KiB.
    explicit Packet(std::uint32_t flags, int capacity = -1);
    // A packet that reads `size` bytes (copied).
    Packet(std::uint32_t flags, const std::uint8_t* bytes, std::size_t size);

    // Turns a written packet around: reads its bytes from the start.
    void startReading();

    void doBool(std::uint8_t& b, int bit) override;
    void doBits(std::uint8_t& b, int count);
    void doInt(std::int32_t& v) override;
    void doUInt(std::uint32_t& v) override;
    void doHalfFloat(float& f) override;
    void doUString(std::u16string& text, int maxLength = -1);
    void doClassID(ClassInfo*& record);
    // The object's network id (0 for none); reading maps the id through the current
    // network role, and an id it does not know (or no role) makes the message bad. True
    // when the reference is not null.
    bool doPointer2(QorBase*& object) override;
    // Raw pointer values would not survive a 64-bit address space nor can a received
    // one be trusted, so objects always travel by id.
    bool doPointer(QorBase*& object) override;
    // The object as the name under which the resource registry holds it.
    void doResourcePointer2(QorBase*& object) override;
    // Four bytes as they lie in memory, copied at the cursor.
    void doRaw32(void* value) override;

    NetAddress address;  // the peer's address

    const std::vector<std::uint8_t>& bytes() const { return buffer; }
    std::size_t size() const { return buffer.size(); }

private:
    bool takeByte(std::uint8_t& b);
    void putByte(std::uint8_t b) { buffer.push_back(b); }
    std::uint8_t* nextBitByte();

    std::vector<std::uint8_t> buffer;
    std::size_t cursor = 0;    // where the next value is read
    std::size_t bitByte = 0;   // index of the byte receiving packed bits
    std::uint8_t bitMask = 0;  // the bit of the bit byte in use; 0: none yet
};
