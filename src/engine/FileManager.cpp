#include "engine/FileManager.h"

#include <zlib.h>
#include <zopfli/zlib_container.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/ClassInfo.h"
#include "engine/DiskFile.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "engine/MemoryReadStream.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "engine/WadDirectory.h"
#include "engine/WadFile.h"

QOR_DEFINE_ROOT_CLASS(FileManager, nullptr)

namespace {
constexpr char16_t kOverrideFolder[] = u"override.hq2x/";
constexpr char16_t kHq2xSuffix[] = u".hq2x";
constexpr char16_t kBuildFolder[] = u"./wad/win/";
// A compressed entry is kept only when it saves at least this share of the bytes.
constexpr double kWorthCompressing = 0.98;

bool highResolution() { return qor->hq2x == 2; }

[[noreturn]] void failToOpen(const char* method, const std::u16string& path, int error) {
    const std::u16string reason = error == DiskFile::kNotRegularFile
                                      ? DiskFile::describeError(error)
                                      : formatString(u"errno %d:%s", error, DiskFile::describeError(error));
    fatalErrorAt(method, __FILE__, __LINE__,
                 formatString(u"Failed to open file '%s' (%s, cwd %s)", path, reason, getCurrentDirectory()));
}

std::vector<std::uint8_t> compressZlib(const std::uint8_t* bytes, std::uint32_t size) {
    uLongf capacity = compressBound(size);
    std::vector<std::uint8_t> out(capacity);
    if (compress2(out.data(), &capacity, bytes, size, Z_BEST_COMPRESSION) != Z_OK) return {};
    out.resize(capacity);
    return out;
}

std::vector<std::uint8_t> compressZopfli(const std::uint8_t* bytes, std::uint32_t size) {
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.verbose = 0;
    options.numiterations = 1;
    options.blocksplitting = 1;
    options.blocksplittinglast = 0;
    options.blocksplittingmax = 15;
    unsigned char* out = nullptr;
    std::size_t outSize = 0;
    ZopfliZlibCompress(&options, bytes, size, &out, &outSize);
    std::vector<std::uint8_t> result(out, out + outSize);
    std::free(out);
    return result;
}
}  // namespace

FileManager::FileManager(std::uint8_t createWad, std::uint8_t useWad) : bCreateWad(createWad), bUseWad(useWad) {
    QOR_LOG("FileManager::FileManager", u"Starting...");
    if (bCreateWad) QOR_ASSERT("FileManager::FileManager", !bUseWad);
}

ClassInfo* FileManager::getClass() const { return &classInfo; }

FileManager::~FileManager() {
    QOR_LOG("FileManager::~FileManager", u"%d opened WAD files.", countMountedWads());
    if (bCreateWad) saveAllSubWads();
    // `wads` closes the mounted archives as it is destroyed.
}

int FileManager::countMountedWads() const { return wads.countChildren(); }

std::u16string FileManager::resolvePath(std::u16string_view name) const {
    if (highResolution()) {
        std::u16string override = kOverrideFolder + std::u16string(name);
        if (fileExists(override)) return override;
    }
    return std::u16string(name);
}

std::unique_ptr<Stream> FileManager::open(std::u16string_view name, std::uint32_t* size) {
    return useDisk() ? openDisk(name, size) : openWad(name, size);
}

std::unique_ptr<Stream> FileManager::openDisk(std::u16string_view name, std::uint32_t* size) {
    const std::u16string path = resolvePath(name);
    auto file = std::make_unique<DiskFile>(path, DiskFile::kRead);
    if (!file->bOpen) failToOpen("FileManager::openDisk", path, file->openError);
    if (size) *size = file->size;
    if (bCreateWad && !bDiskOnly) recordForWad(name);
    return file;
}

void FileManager::recordForWad(std::u16string_view name) {
    std::u16string key(name);
    if (entries.count(key)) {
        QOR_LOG("FileManager::openDisk", u"Skipping already existing file '%s' in wad creation.", key);
        return;
    }
    WadEntry entry;
    entry.filename = key;
    entry.wadName = wadName;
    entries.emplace(std::move(key), std::move(entry));
}

std::unique_ptr<Stream> FileManager::openWad(std::u16string_view name, std::uint32_t* size) {
    const auto it = entries.find(std::u16string(name));
    if (it == entries.end()) QOR_FATAL("FileManager::openWad", u"WAD entry %s not found.", std::u16string(name));
    const WadEntry entry = it->second;
    std::unique_ptr<Stream> file = openDisk(entry.wadName);
    file->seek(static_cast<int>(entry.offset));
    if (entry.storedSize == entry.size) {
        if (size) *size = entry.size;
        return file;
    }
    // The directory was checked against the archive when it was mounted; a short read
    // now means the file changed under us, and must not pass for entry bytes.
    // Not zeroed: every byte is overwritten, or the short read below is fatal.
    std::unique_ptr<std::uint8_t[]> stored(new std::uint8_t[entry.storedSize]);
    const int got = file->read(stored.get(), static_cast<int>(entry.storedSize));
    file.reset();
    if (got != static_cast<int>(entry.storedSize))
        QOR_FATAL("FileManager::openWad", u"WAD entry %s in '%s' could not be read (%d of %u bytes).", entry.filename,
                  entry.wadName, got, entry.storedSize);
    auto memory = std::make_unique<MemoryReadStream>(entry.size);
    switch (WadDirectory::inflateEntry(stored.get(), entry.storedSize, memory->bytes(), entry.size)) {
        case WadDirectory::InflateStatus::kFailed:
            QOR_FATAL("FileManager::openWad",
                      u"WAD entry '%s' in '%s' is damaged: its compressed data cannot be unpacked. Please reinstall "
                      u"the game.",
                      entry.filename, entry.wadName);
        case WadDirectory::InflateStatus::kWrongSize:
            QOR_FATAL("FileManager::openWad",
                      u"WAD entry '%s' in '%s' is damaged: it does not unpack to its %u bytes. Please reinstall the "
                      u"game.",
                      entry.filename, entry.wadName, entry.size);
        case WadDirectory::InflateStatus::kOk:
            break;
    }
    if (size) *size = entry.size;
    return memory;
}

bool FileManager::existsOnDisk(std::u16string_view name) const { return fileExists(resolvePath(name)); }

bool FileManager::findWadEntry(std::u16string_view name) const { return entries.count(std::u16string(name)) > 0; }

bool FileManager::exists(std::u16string_view name) const { return useDisk() ? existsOnDisk(name) : findWadEntry(name); }

std::u16string FileManager::describe(std::u16string_view name) const {
    if (useDisk()) return formatString(u"file '%s'", resolvePath(name));
    const WadEntry* entry = getEntry(name);
    return entry ? formatString(u"WAD entry '%s' in '%s'", std::u16string(name), entry->wadName)
                 : formatString(u"WAD entry '%s'", std::u16string(name));
}

const WadEntry* FileManager::getEntry(std::u16string_view name) const {
    const auto it = entries.find(std::u16string(name));
    return it == entries.end() ? nullptr : &it->second;
}

void FileManager::verifyFile(std::u16string_view name) const {
    if (useDisk())
        verifyFileDisk(name);
    else
        verifyFileWad(name);
}

void FileManager::verifyFileDisk(std::u16string_view name) const {
    if (existsOnDisk(name)) return;
    const int error = errno;
    QOR_FATAL("FileManager::verifyFileDisk", u"File %s verification failed (errno %d:%hs, cwd %s)",
              std::u16string(name), error, std::strerror(error), getCurrentDirectory());
}

void FileManager::verifyFileWad(std::u16string_view name) const {
    if (!findWadEntry(name))
        QOR_FATAL("FileManager::verifyFileWad", u"%s", u"File '" + std::u16string(name) + u"' does not exist.");
}

void FileManager::useWad(std::u16string_view archivePath) {
    std::u16string path(archivePath);
    if (highResolution()) path += kHq2xSuffix;
    wadName = path;
    if (!bUseWad || bCreateWad || entries.count(path)) return;
    WadEntry self;
    self.filename = self.wadName = path;
    entries.emplace(path, std::move(self));
    wads.addChild(new WadFile(openDisk(path)));
    mountWad(path);
}

// Reads and checks the whole directory before the first entry is added, so that a
// damaged archive is refused as a whole.
void FileManager::mountWad(const std::u16string& path) {
    std::uint32_t fileSize = 0;
    std::unique_ptr<Stream> file = openDisk(path, &fileSize);
    std::uint8_t header[WadDirectory::kHeaderBytes] = {};
    file->read(header, sizeof header);
    std::int32_t version = 0, count = 0;
    std::u16string why;
    const auto status = WadDirectory::readHeader(header, fileSize, version, count, why);
    if (status == WadDirectory::Status::kBadVersion)
        QOR_FATAL("FileManager::useWad",
                  u"WAD %s is damaged or no data archive: version %d instead of %d. Please reinstall the game.", path,
                  version, WadDirectory::kVersion);
    std::vector<std::uint8_t> directory;
    if (status == WadDirectory::Status::kOk) {
        directory.resize(std::size_t{WadDirectory::kEntryBytes} * static_cast<std::size_t>(count));
        if (file->read(directory.data(), static_cast<int>(directory.size())) != static_cast<int>(directory.size()))
            why = u"its directory could not be read";
    }
    std::vector<WadEntry> found;
    if (why.empty()) WadDirectory::parseEntries(directory.data(), count, fileSize, path, found, why);
    if (!why.empty()) QOR_FATAL("FileManager::useWad", u"WAD %s is damaged: %s.", path, why);
    for (WadEntry& entry : found) {
        if (!qor->bDebugLocked)
            QOR_LOG("FileManager::useWad", u"%s WAD contents: %s @ %d (%d/%d bytes) %s", path, entry.filename,
                    entry.offset, entry.storedSize, entry.size, entry.storedSize != entry.size ? u"COMPRESSED" : u"OK");
        std::u16string key = entry.filename;
        entries.emplace(std::move(key), std::move(entry));
    }
}

void FileManager::saveAllSubWads() {
    std::vector<std::u16string> names;
    for (const auto& [name, entry] : entries)
        if (std::find(names.begin(), names.end(), entry.wadName) == names.end()) names.push_back(entry.wadName);
    std::sort(names.begin(), names.end());
    for (const auto& name : names) saveSubWad(false, name);
}

void FileManager::saveSubWad(bool compress, const std::u16string& archiveName) {
    const std::u16string output = kBuildFolder + archiveName + (compress ? u".z" : u"");
    writeWad(archiveName, output, compress ? Compression::kZopfli : Compression::kStore);
}

namespace {
// The bytes of one entry as the writer will store them.
struct PackedEntry {
    WadEntry* entry;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> compressEntry(const std::vector<std::uint8_t>& plain, FileManager::Compression compression) {
    if (compression == FileManager::Compression::kStore || plain.empty()) return plain;
    const auto size = static_cast<std::uint32_t>(plain.size());
    std::vector<std::uint8_t> packed = compression == FileManager::Compression::kZopfli
                                           ? compressZopfli(plain.data(), size)
                                           : compressZlib(plain.data(), size);
    const bool worthIt = !packed.empty() && static_cast<double>(packed.size()) < kWorthCompressing * size;
    return worthIt ? packed : plain;
}
}  // namespace

bool FileManager::writeWad(const std::u16string& archiveName, const std::u16string& outputPath,
                           Compression compression) {
    std::vector<PackedEntry> packed;
    for (auto& [name, entry] : entries)
        if (entry.wadName == archiveName) packed.push_back({&entry, {}});
    std::sort(packed.begin(), packed.end(),
              [](const PackedEntry& a, const PackedEntry& b) { return a.entry->filename < b.entry->filename; });
    const std::uint8_t wasDiskOnly = bDiskOnly;
    bDiskOnly = 1;
    for (PackedEntry& p : packed) {
        MemoryFile file(0, p.entry->filename);
        std::vector<std::uint8_t> plain(file.block.pData, file.block.pData + file.block.size);
        p.entry->size = file.block.size;
        p.bytes = compressEntry(plain, compression);
        p.entry->storedSize = p.entry->writeSize = static_cast<std::uint32_t>(p.bytes.size());
        p.entry->pData = p.bytes.data();
    }
    bDiskOnly = wasDiskOnly;

    const auto count = static_cast<std::int32_t>(packed.size());
    std::uint8_t header[WadDirectory::kHeaderBytes];
    WadDirectory::putU32(header, WadDirectory::kVersion);
    WadDirectory::putU32(header + 4, static_cast<std::uint32_t>(count));
    DiskFile out(outputPath, DiskFile::kWrite);
    out.write(header, sizeof header);
    QOR_LOG("FileManager::saveSubWad", u"Writing: WAD %s (%d entries).", archiveName, count);

    std::uint64_t offset = WadDirectory::kHeaderBytes + std::uint64_t{WadDirectory::kEntryBytes} * packed.size();
    for (PackedEntry& p : packed) {
        WadEntry& e = *p.entry;
        std::uint8_t filler[WadDirectory::kNameBytes];
        for (std::uint8_t& b : filler) b = static_cast<std::uint8_t>((Random::step() >> 16) % 255);
        e.alignBytes = offset % 8 ? static_cast<std::uint32_t>(8 - offset % 8) : 0;
        offset += e.alignBytes;
        const std::string utf8 = wideToUtf8(e.filename);
        if (!utf8.empty() && (utf8[0] & 0x80))
            QOR_FATAL("FileManager::saveSubWad", u"WAD entry name '%s' must begin with an ASCII character.",
                      e.filename);
        std::uint8_t raw[WadDirectory::kEntryBytes];
        if (!WadDirectory::encodeEntry(e.filename, filler, static_cast<std::uint32_t>(offset), e.size, e.writeSize,
                                       raw))
            assertionFailedAt("FileManager::saveSubWad", __FILE__, __LINE__,
                              "di->second.filename.length() < WADDISKENTRY_FILENAME_BYTESIZE");
        e.offset = static_cast<std::uint32_t>(offset);
        out.write(raw, sizeof raw);
        offset += e.writeSize;
        if (offset > 0xFFFFFFFFull) {
            QOR_LOG("FileManager::saveSubWad", u"WAD %s would exceed 4 GiB.", archiveName);
            out.bWriteFailed = 1;
            break;
        }
    }
    static const std::uint8_t zeros[8] = {};
    for (PackedEntry& p : packed) {
        if (out.bWriteFailed) break;
        out.write(zeros, p.entry->alignBytes);
        QOR_LOG("FileManager::saveSubWad", u"Writing: %s (%d/%d bytes).", p.entry->filename, p.entry->storedSize,
                p.entry->size);
        out.write(p.bytes.data(), p.bytes.size());
    }
    const bool ok = out.bOpen && !out.bWriteFailed && out.flushToDisk();
    if (!ok) QOR_LOG("FileManager::saveSubWad", u"Could not write WAD %s to '%s'.", archiveName, outputPath);
    std::erase_if(entries, [&](const auto& item) { return item.second.wadName == archiveName; });
    return ok;
}
