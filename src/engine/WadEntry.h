#pragma once
// One file of a data archive, as the file manager knows it: where it lives when the
// archive is mounted, or what will be written when an archive is being built.
#include <cstdint>
#include <string>

struct WadEntry {
    std::u16string filename;              // the entry's name ("gfx/palm.tga")
    std::u16string wadName;               // path of the archive file that holds (or will hold) it
    std::uint32_t offset = 0;             // bytes from the start of the archive file
    std::uint32_t size = 0;               // the file's length in bytes
    std::uint32_t storedSize = 0;         // bytes stored; differs from size for a zlib stream
    const std::uint8_t* pData = nullptr;  // bytes to write (archive building only)
    std::uint32_t writeSize = 0;          // bytes to write (archive building only)
    std::uint32_t alignBytes = 0;         // zero bytes written before the entry (building only)
};
