#include "ui/RecordBytes.h"

#include <bit>
#include <cstring>

#include "engine/ErrorManager.h"

void RecordBytes::check(std::size_t offset, std::size_t count) const {
    QOR_ASSERT("RecordBytes::check", offset <= bytes.size() && count <= bytes.size() - offset);
}

std::uint8_t RecordBytes::getU8(std::size_t offset) const {
    check(offset, 1);
    return bytes[offset];
}

std::uint16_t RecordBytes::getU16(std::size_t offset) const {
    check(offset, 2);
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::uint32_t RecordBytes::getU32(std::size_t offset) const {
    check(offset, 4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
    return value;
}

std::int64_t RecordBytes::getS64(std::size_t offset) const {
    const std::uint64_t low = getU32(offset);
    const std::uint64_t high = getU32(offset + 4);
    return static_cast<std::int64_t>(high << 32 | low);
}

float RecordBytes::getF32(std::size_t offset) const { return std::bit_cast<float>(getU32(offset)); }

void RecordBytes::getBytes(std::size_t offset, void* target, std::size_t count) const {
    check(offset, count);
    if (count) std::memcpy(target, bytes.data() + offset, count);
}

void RecordBytes::putU8(std::size_t offset, std::uint8_t value) {
    check(offset, 1);
    bytes[offset] = value;
}

void RecordBytes::putU16(std::size_t offset, std::uint16_t value) {
    check(offset, 2);
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void RecordBytes::putU32(std::size_t offset, std::uint32_t value) {
    check(offset, 4);
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void RecordBytes::putS64(std::size_t offset, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    putU32(offset, static_cast<std::uint32_t>(bits));
    putU32(offset + 4, static_cast<std::uint32_t>(bits >> 32));
}

void RecordBytes::putF32(std::size_t offset, float value) { putU32(offset, std::bit_cast<std::uint32_t>(value)); }

void RecordBytes::putBytes(std::size_t offset, const void* source, std::size_t count) {
    check(offset, count);
    if (count) std::memcpy(bytes.data() + offset, source, count);
}
