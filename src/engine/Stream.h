#pragma once
// A readable source of bytes: a loose file or an archive entry on disk (DiskFile), or
// an archive entry inflated into memory (MemoryReadStream). The file manager hands them
// out; the caller owns and deletes them.
#include <cstdint>

class Stream {
public:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    virtual ~Stream() = default;

    // Copies up to `count` bytes from the current position into `buffer` and moves the
    // position on; returns the number copied, or -1 when the stream cannot be read.
    virtual int read(void* buffer, int count) = 0;
    // Sets the current position, counted in bytes from the start.
    virtual void seek(int position) = 0;
    // Direct access to the bytes; no stream offers it, so readers always copy.
    virtual const std::uint8_t* getData() const { return nullptr; }
};
