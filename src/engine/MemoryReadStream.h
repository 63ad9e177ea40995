#pragma once
// A read-only stream over a block of bytes that it owns: an archive entry that the
// file manager has inflated into memory.
#include <cstdint>
#include <memory>

#include "engine/Stream.h"

class MemoryReadStream : public Stream {
public:
    // Allocates `size` bytes for the file manager to fill; position 0.
    explicit MemoryReadStream(std::uint32_t size);

    // Copies min(count, size - position) bytes, never fewer than 0.
    int read(void* buffer, int count) override;
    // Any position is accepted; reads at or past the end copy nothing.
    void seek(int position) override;

    std::uint8_t* bytes() { return data.get(); }
    // Hands the whole block over when nothing has been read yet (null otherwise), so
    // that an inflated entry is not copied once more.
    std::unique_ptr<std::uint8_t[]> takeUnread();

    std::uint32_t size = 0;                // bytes held
    std::unique_ptr<std::uint8_t[]> data;  // the owned block of `size` bytes
    std::uint32_t position = 0;            // next byte to read
};
