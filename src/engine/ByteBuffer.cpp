#include "engine/ByteBuffer.h"

#include <cstring>
#include <stdexcept>
#include <utility>

ByteBuffer::ByteBuffer(const void* bytes, std::uint32_t count) {
    allocate(count);
    if (count > 0) std::memcpy(pData, bytes, count);
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : pData(std::exchange(other.pData, nullptr)), size(std::exchange(other.size, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        clear();
        pData = std::exchange(other.pData, nullptr);
        size = std::exchange(other.size, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { clear(); }

void ByteBuffer::allocate(std::uint32_t count) {
    clear();
    pData = new std::uint8_t[count]();
    size = count;
}

void ByteBuffer::adopt(std::uint8_t* block, std::uint32_t count) {
    clear();
    pData = block;
    size = count;
}

void ByteBuffer::append(const void* bytes, std::uint32_t count) {
    if (count == 0) return;
    if (count > UINT32_MAX - size) throw std::length_error("ByteBuffer::append");
    auto* block = new std::uint8_t[size + count];
    if (size > 0) std::memcpy(block, pData, size);
    std::memcpy(block + size, bytes, count);
    delete[] pData;
    pData = block;
    size += count;
}

void ByteBuffer::clear() {
    delete[] pData;
    pData = nullptr;
    size = 0;
}
