#pragma once
// All file reading of the program goes through the one file manager (`qor->pFileManager`).
// Callers name a file by a relative path with "/" separators ("gfx/palm.tga") and get a
// stream and its size, ask whether it exists, or have its existence verified. Names are
// compared exactly (case-sensitive), in archives, on disk and in the override folder.
//
// Modes, fixed by the flags:
//  - archive mode (`bUseWad`): files are looked up in the mounted archives (useWad);
//  - disk mode (`bUseWad` clear, or `bDiskOnly` set for a while): files come from disk,
//    relative to the working directory; with the engine's `hq2x` at 2 a copy under
//    "override.hq2x/" wins;
//  - archive building (`bCreateWad`, `bUseWad` clear): files come from disk and every
//    file opened is recorded under the archive named last by useWad; the destructor
//    writes one archive per recorded name under "./wad/win/".
//
// Failures are fatal: a file that cannot be opened, a name in no mounted archive, an
// archive of another version or a damaged one, a corrupt compressed entry, a failed
// verification. exists() never fails.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/QorBase.h"
#include "engine/Stream.h"
#include "engine/WadEntry.h"

class ClassInfo;

class FileManager {
public:
    // How the archive writer stores the bytes of an entry.
    enum class Compression {
        kStore,   // always as they are
        kZlib,    // zlib at its best level, kept where it saves at least 2%
        kZopfli,  // zopfli's zlib container, kept where it saves at least 2%
    };

    // Archive mode by default. Both createWad and useWad set is a fatal assertion.
    explicit FileManager(std::uint8_t createWad = 0, std::uint8_t useWad = 1);
    virtual ClassInfo* getClass() const;
    // In archive-building mode writes every recorded archive first.
    virtual ~FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;
    static ClassInfo classInfo;

    // The file's stream, positioned at its start, and its size; the caller owns the
    // stream. A missing file is fatal.
    std::unique_ptr<Stream> open(std::u16string_view name, std::uint32_t* size = nullptr);
    std::unique_ptr<Stream> openDisk(std::u16string_view name, std::uint32_t* size = nullptr);
    std::unique_ptr<Stream> openWad(std::u16string_view name, std::uint32_t* size = nullptr);

    // The override folder's copy of `name` when hq2x is 2 and it exists, else `name`.
    std::u16string resolvePath(std::u16string_view name) const;
    bool exists(std::u16string_view name) const;
    bool existsOnDisk(std::u16string_view name) const;
    bool findWadEntry(std::u16string_view name) const;
    // A missing file is fatal.
    void verifyFile(std::u16string_view name) const;
    void verifyFileDisk(std::u16string_view name) const;
    void verifyFileWad(std::u16string_view name) const;

    // Names the current archive (".hq2x" appended when hq2x is 2) and, in archive mode,
    // mounts it unless it is mounted already. A missing, foreign or damaged archive is
    // fatal. The archive mounted first wins for names that several archives hold.
    void useWad(std::u16string_view archivePath);

    // Archive building: writes every recorded archive, uncompressed.
    void saveAllSubWads();
    // Writes the recorded archive `archiveName` to "./wad/win/<archiveName>" (".z"
    // appended when compressed, with zopfli) and forgets its entries.
    void saveSubWad(bool compress, const std::u16string& archiveName);
    // Writes the recorded archive `archiveName` to `outputPath` and forgets its
    // entries. The directory is sorted by name, so the same files and the same random
    // state give the same bytes. False (and logged) when the file could not be written.
    bool writeWad(const std::u16string& archiveName, const std::u16string& outputPath, Compression compression);

    // The number of mounted archives.
    int countMountedWads() const;
    const WadEntry* getEntry(std::u16string_view name) const;
    // Where `name` comes from in the present mode, for messages about its contents:
    // "WAD entry 'name' in 'archive'" or "file 'path'".
    std::u16string describe(std::u16string_view name) const;

    std::uint8_t bDiskOnly = 0;   // while set, open/exists/verifyFile use the disk
    std::uint8_t bCreateWad = 0;  // archive-building mode
    std::uint8_t bUseWad = 1;     // archive mode
    // Mounted directories plus one entry per mounted archive under its own path; in
    // archive building, one entry per file opened.
    std::unordered_map<std::u16string, WadEntry> entries;
    std::u16string wadName;  // the current archive
    QorBase wads;            // children: the WadFile of every mounted archive

private:
    bool useDisk() const { return !bUseWad || bDiskOnly; }
    void recordForWad(std::u16string_view name);
    void mountWad(const std::u16string& path);
};
