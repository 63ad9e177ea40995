#include "game/SaveBytes.h"

#include <bit>

SaveBytes SaveBytes::sub(std::size_t offset, std::size_t size) const {
    if (offset >= length) return SaveBytes();
    const std::size_t available = length - offset;
    return SaveBytes(data + offset, size < available ? size : available);
}

bool SaveBytes::contains(std::size_t offset, std::size_t count) const {
    return data && offset <= length && count <= length - offset;
}

std::uint64_t SaveBytes::getLE(std::size_t offset, std::size_t count) const {
    if (!contains(offset, count)) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = count; i-- > 0;) v = (v << 8) | data[offset + i];
    return v;
}

void SaveBytes::putLE(std::size_t offset, std::size_t count, std::uint64_t value) const {
    if (!contains(offset, count)) return;
    for (std::size_t i = 0; i < count; ++i, value >>= 8) data[offset + i] = static_cast<std::uint8_t>(value);
}

std::uint8_t SaveBytes::getU8(std::size_t offset) const { return static_cast<std::uint8_t>(getLE(offset, 1)); }
std::uint32_t SaveBytes::getU32(std::size_t offset) const { return static_cast<std::uint32_t>(getLE(offset, 4)); }
float SaveBytes::getF32(std::size_t offset) const { return std::bit_cast<float>(getU32(offset)); }
double SaveBytes::getF64(std::size_t offset) const { return std::bit_cast<double>(getLE(offset, 8)); }

void SaveBytes::putU8(std::size_t offset, std::uint8_t value) const { putLE(offset, 1, value); }
void SaveBytes::putU32(std::size_t offset, std::uint32_t value) const { putLE(offset, 4, value); }
void SaveBytes::putF32(std::size_t offset, float value) const { putU32(offset, std::bit_cast<std::uint32_t>(value)); }
void SaveBytes::putF64(std::size_t offset, double value) const {
    putLE(offset, 8, std::bit_cast<std::uint64_t>(value));
}
