#pragma once
// A file on disk through the C runtime's buffered file functions, opened for reading
// or for writing. It reports nothing itself: callers test `bOpen` (and `openError` for
// the reason), reads of a file that is not open return -1 and writes to it are skipped.
//
// Reading opens only regular files, and never waits: a pipe, a folder or a device in
// the place of a file is refused instead of blocking the program.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/Stream.h"

class DiskFile : public Stream {
public:
    static constexpr int kRead = 1;   // open an existing regular file for reading (wins over kWrite)
    static constexpr int kWrite = 2;  // create or truncate the file for writing
    // The `openError` of something at the path that is not a regular file; above every errno.
    static constexpr int kNotRegularFile = 0x10000;

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
    // flushed to the disk and renamed over `path`. The temporary is always created anew
    // and never through a link (one left by an earlier run is removed first), so a link
    // planted at its name cannot redirect the write. A failure is logged, leaves any
    // earlier file untouched, stores the errno in `error` (when given) and returns false.
    static bool saveAtomically(const std::u16string& path, const void* bytes, std::size_t count, int* error = nullptr);
    // The same without the log line, so that any thread may call it: false with the errno
    // in `error`.
    static bool writeAtomically(const std::u16string& path, const void* bytes, std::size_t count, int& error);
    // Opens `path` for reading the way kRead does: a file descriptor, or -1 with the
    // reason in `error` (an errno, or kNotRegularFile).
    static int openRegularFile(const std::string& path, int& error);
    // The reason as text: the system's text of an errno, or "not a regular file".
    static std::u16string describeError(int error);

    std::uint32_t size = 0;         // bytes in the file when opened for reading, else 0
    std::uint8_t bOpen = 0;         // a handle was obtained
    std::uint8_t bWriteFailed = 0;  // a write or flush has failed
    int openError = 0;              // why opening failed (errno or kNotRegularFile); 0 when open
    std::FILE* file = nullptr;      // null when not open
};
