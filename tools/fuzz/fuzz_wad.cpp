// The data archive reader: the input is a whole archive file. Whatever the directory
// checks accept must mount and read through the file manager without a fault; what
// they refuse is the fatal "damaged" path of the real program.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FuzzEngine.h"
#include "engine/MemoryFile.h"
#include "engine/Strings.h"
#include "engine/WadDirectory.h"

namespace {
bool acceptedByChecks(const std::uint8_t* data, std::size_t size, std::vector<WadEntry>& entries) {
    if (size > 0xFFFFFFFFu) return false;
    const auto fileSize = static_cast<std::uint32_t>(size);
    std::uint8_t header[WadDirectory::kHeaderBytes] = {};
    for (std::size_t i = 0; i < sizeof header && i < size; ++i) header[i] = data[i];
    std::int32_t version = 0, count = 0;
    std::u16string why;
    if (WadDirectory::readHeader(header, fileSize, version, count, why) != WadDirectory::Status::kOk) return false;
    if (WadDirectory::parseEntries(data + WadDirectory::kHeaderBytes, count, fileSize, u"fuzz", entries, why) !=
        WadDirectory::Status::kOk)
        return false;
    for (const WadEntry& e : entries) {
        if (e.storedSize == e.size) continue;
        std::vector<std::uint8_t> out(e.size);
        if (WadDirectory::inflateEntry(data + e.offset, e.storedSize, out.data(), e.size) !=
            WadDirectory::InflateStatus::kOk)
            return false;
    }
    return true;
}

void readThroughFileManager(const std::uint8_t* data, std::size_t size, const std::vector<WadEntry>& entries) {
    static const std::string path = "/tmp/fuzz_wad." + std::to_string(getpid()) + ".dat";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    Qor& engine = fuzzEngine();
    delete engine.pFileManager;
    engine.pFileManager = new FileManager();
    engine.pFileManager->useWad(utf8ToWide(path));
    for (const WadEntry& e : entries) {
        // A memory file without a name reads nothing, by design.
        if (e.filename.empty()) continue;
        MemoryFile file(0, e.filename);
        // The first archive entry of a name wins over later duplicates.
        if (file.block.size != engine.pFileManager->getEntry(e.filename)->size) __builtin_trap();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<WadEntry> entries;
    if (acceptedByChecks(data, size, entries)) readThroughFileManager(data, size, entries);
    return 0;
}
