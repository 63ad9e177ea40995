#include "engine/MemoryFile.h"

#include <climits>

#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/MemoryReadStream.h"
#include "engine/Qor.h"
#include "engine/Stream.h"

std::int32_t memoryFileBytes = 0;

MemoryFile::MemoryFile(int flags, std::u16string fileName_) : fileName(std::move(fileName_)) {
    if (!qor->bEnableDelayedLoad || !(flags & kMayDelay)) {
        load();
    } else {
        // A missing file is reported now rather than in the middle of a game.
        qor->files().verifyFile(fileName);
    }
}

MemoryFile::~MemoryFile() { unload(); }

void MemoryFile::load() {
    if (isLoaded() || fileName.empty()) return;
    std::uint32_t size = 0;
    std::unique_ptr<Stream> stream = qor->files().open(fileName, &size);
    if (size > INT_MAX) QOR_FATAL("MemoryFile::load", u"File '%s' is too large (%u bytes).", fileName, size);
    memoryFileBytes += static_cast<std::int32_t>(size);
    if (auto* inflated = dynamic_cast<MemoryReadStream*>(stream.get()); inflated && inflated->size == size) {
        // An inflated archive entry is already the whole file in memory.
        if (std::unique_ptr<std::uint8_t[]> data = inflated->takeUnread()) {
            block.adopt(data.release(), size);
            return;
        }
    }
    block.allocate(size);
    // A file that shrank after it was opened must not leave unread bytes behind as if
    // they were its contents.
    const int got = stream->read(block.pData, static_cast<int>(size));
    if (got != static_cast<int>(size)) {
        unload();
        QOR_FATAL("MemoryFile::load", u"Failed to read file '%s' (%d of %u bytes).", fileName, got, size);
    }
}

void MemoryFile::unload() {
    if (!isLoaded()) return;
    memoryFileBytes -= static_cast<std::int32_t>(block.size);
    block.clear();
}
