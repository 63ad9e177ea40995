#pragma once
// A file on disk through the C runtime's buffered file functions, opened for reading
// or for writing. It reports nothing itself: callers test `bOpen`, reads of a file that
// is not open return -1 and writes to it are skipped.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/Stream.h"

class DiskFile : public Stream {
public:
    static constexpr int kRead = 1;   // open an existing file for reading (wins over kWrite)
    static constexpr int kWrite = 2;  // create or truncate the file for writing

    DiskFile(const std::u16string& path, int flags);
    ~DiskFile() override;

    int read(void* buffer, int count) override;
    void seek(int position) override;
    // Writes `count` bytes at the current position; false when the file is not open or
    // the system refused (the failure is also remembered in `bWriteFailed`).
    bool write(const void* bytes, std::size_t count);
    // The text as UTF-8, then CR LF.
    bool writeLine(std::u16string_view text);
    // Pushes the written bytes to the disk (buffers, then fsync); false on failure.
    bool flushToDisk();

    // Replaces the file at `path` as one step: the bytes go to "<path>.tmp", which is
    // flushed to the disk and renamed over `path`. A failure is logged, leaves any
    // earlier file untouched and returns false.
    static bool saveAtomically(const std::u16string& path, const void* bytes, std::size_t count);

    std::uint32_t size = 0;         // bytes in the file when opened for reading, else 0
    std::uint8_t bOpen = 0;         // a handle was obtained
    std::uint8_t bWriteFailed = 0;  // a write or flush has failed
    std::FILE* file = nullptr;      // null when not open
};
