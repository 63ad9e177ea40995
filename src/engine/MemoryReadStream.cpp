#include "engine/MemoryReadStream.h"

#include <algorithm>
#include <cstring>

MemoryReadStream::MemoryReadStream(std::uint32_t size_) : size(size_), data(new std::uint8_t[size_]) {}

int MemoryReadStream::read(void* buffer, int count) {
    if (count <= 0 || position >= size) return 0;
    const std::uint32_t n = std::min(static_cast<std::uint32_t>(count), size - position);
    std::memcpy(buffer, data.get() + position, n);
    position += n;
    return static_cast<int>(n);
}

// A negative position wraps to a huge one, which reads as the end.
void MemoryReadStream::seek(int position_) { position = static_cast<std::uint32_t>(position_); }

std::unique_ptr<std::uint8_t[]> MemoryReadStream::takeUnread() {
    if (position != 0) return nullptr;
    size = 0;
    return std::move(data);
}
