#pragma once
// An owned block of bytes with no spare capacity: the block is always exactly `size`
// bytes long. Memory files and web replies keep their bytes in one.
#include <cstdint>

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const void* bytes, std::uint32_t count);
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    virtual ~ByteBuffer();

    // Replaces the contents by `count` zero bytes. The block exists even for 0 bytes,
    // so that an empty file still counts as loaded.
    void allocate(std::uint32_t count);
    // Takes ownership of a block of exactly `count` bytes allocated with new[].
    void adopt(std::uint8_t* block, std::uint32_t count);
    // Grows the block by `count` bytes copied from `bytes` (a new block every call).
    void append(const void* bytes, std::uint32_t count);
    // Frees the block; size 0.
    void clear();

    std::uint8_t* pData = nullptr;  // the block, null when empty
    std::uint32_t size = 0;         // bytes in the block
};
