#pragma once
// The complete bytes of one named file in memory, read through the file manager (from
// the data archive or from disk). A memory file is either loaded (bytes present and
// counted in `memoryFileBytes`) or not; load() and unload() move between the two any
// number of times, so owners may drop the bytes to save memory and read them again by
// name. Users read `block.pData` and `block.size` directly, after load(). Only the owner
// drops the bytes: an engine-wide purge leaves them, since a reader (a playing music
// stream, a font's code point table) may hold on to them.
//
// A missing file is fatal through the file manager: at construction, or at the first
// load when loading was delayed.
#include <cstdint>
#include <string>

#include "engine/ByteBuffer.h"
#include "engine/QorBase.h"

// The sum of the sizes of all loaded memory files, in bytes (main thread only).
extern std::int32_t memoryFileBytes;

class MemoryFile : public QorBase {
public:
    static constexpr int kMayDelay = 1;  // flag: the file may be read at first use

    // Reads the file now, unless kMayDelay is set and the engine delays loading; then
    // the file is only verified to exist and the owner calls load() before use.
    MemoryFile(int flags, std::u16string fileName);
    ~MemoryFile() override;

    // Reads the whole file in one read; nothing when already loaded or unnamed.
    void load();
    // Frees the bytes; a later load() reads the file again.
    void unload();

    bool isLoaded() const { return block.pData != nullptr; }

    ByteBuffer block;         // the file's bytes, empty while not loaded
    std::u16string fileName;  // passed to the file manager unchanged
};
