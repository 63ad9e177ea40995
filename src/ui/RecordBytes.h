#pragma once
// A fixed-size block of record bytes read and written field by field at byte offsets,
// little-endian, whatever the machine's own layout. The user records go to disk this
// way, so that their files never depend on how the compiler lays out a struct.
//
// Offsets are the record's own constants; an access that would run past the block is
// a program error and fatal (an assertion), never a silent overrun.
#include <cstddef>
#include <cstdint>
#include <vector>

class RecordBytes {
public:
    // A block of `size` zero bytes.
    explicit RecordBytes(std::size_t size) : bytes(size, 0) {}

    std::uint8_t getU8(std::size_t offset) const;
    std::uint16_t getU16(std::size_t offset) const;
    std::uint32_t getU32(std::size_t offset) const;
    std::int32_t getS32(std::size_t offset) const { return static_cast<std::int32_t>(getU32(offset)); }
    std::int64_t getS64(std::size_t offset) const;
    float getF32(std::size_t offset) const;
    // Copies `count` bytes at `offset` into `target`.
    void getBytes(std::size_t offset, void* target, std::size_t count) const;

    void putU8(std::size_t offset, std::uint8_t value);
    void putU16(std::size_t offset, std::uint16_t value);
    void putU32(std::size_t offset, std::uint32_t value);
    void putS32(std::size_t offset, std::int32_t value) { putU32(offset, static_cast<std::uint32_t>(value)); }
    void putS64(std::size_t offset, std::int64_t value);
    void putF32(std::size_t offset, float value);
    void putBytes(std::size_t offset, const void* source, std::size_t count);

    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    std::size_t size() const { return bytes.size(); }

private:
    void check(std::size_t offset, std::size_t count) const;

    std::vector<std::uint8_t> bytes;
};
