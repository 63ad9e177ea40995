#include "engine/PackedData.h"

#include <zlib.h>

#include <cstring>
#include <memory>

#include "engine/DiskFile.h"
#include "engine/FixedString.h"
#include "engine/Md5.h"
#include "engine/SystemHelpers.h"

namespace {
constexpr std::uint32_t kLengthBytes = 4;
constexpr std::uint32_t kPayloadOffset = PackedData::kHeaderBytes + kLengthBytes;

std::uint32_t readU32(const std::uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

// The largest container a record of `recordSize` bytes can give.
std::uint64_t maxContainerSize(std::uint32_t recordSize) { return kPayloadOffset + compressBound(recordSize); }
}  // namespace

PackedData::~PackedData() { clear(); }

void PackedData::clear() {
    delete[] pData;
    pData = nullptr;
    size = 0;
}

bool PackedData::pack(const void* record, std::uint32_t recordSize, std::uint32_t key) {
    clear();
    if (!record) return false;
    uLongf compressedSize = compressBound(recordSize);
    auto block = std::make_unique<std::uint8_t[]>(kPayloadOffset + compressedSize);
    if (compress(block.get() + kPayloadOffset, &compressedSize, static_cast<const Bytef*>(record), recordSize) != Z_OK)
        return false;
    for (std::uint32_t i = 0; i < kLengthBytes; ++i)
        block[kHeaderBytes + i] = static_cast<std::uint8_t>(recordSize >> (8 * i));
    FixedString32 edition;
    edition.assign(kBuildName);
    FixedString16 version;
    version.assign(kVersion);
    std::memcpy(block.get(), edition.bytes, sizeof edition.bytes);
    std::memcpy(block.get() + 32, version.bytes, sizeof version.bytes);
    const auto payload = static_cast<std::uint32_t>(kLengthBytes + compressedSize);
    md5Keyed(block.get() + kDigestOffset, key, block.get() + kHeaderBytes, static_cast<int>(payload));
    pData = block.release();
    size = kHeaderBytes + payload;
    return true;
}

bool PackedData::unpack(const void* container, std::uint32_t containerSize, std::uint32_t key,
                        std::uint32_t expectedSize) {
    clear();
    const auto* bytes = static_cast<const std::uint8_t*>(container);
    if (!bytes || containerSize < kPayloadOffset || containerSize > maxContainerSize(expectedSize)) return false;
    std::uint8_t digest[16];
    md5Keyed(digest, key, bytes + kHeaderBytes, static_cast<int>(containerSize - kHeaderBytes));
    if (!md5Equal(digest, bytes + kDigestOffset)) return false;
    const std::uint32_t recordSize = readU32(bytes + kHeaderBytes);
    if (recordSize != expectedSize) return false;
    auto record = std::make_unique<std::uint8_t[]>(recordSize ? recordSize : 1);
    uLongf produced = recordSize;
    if (uncompress(record.get(), &produced, bytes + kPayloadOffset, containerSize - kPayloadOffset) != Z_OK ||
        produced != recordSize)
        return false;
    pData = record.release();
    size = recordSize;
    return true;
}

bool PackedData::writeToFile(const std::u16string& path) const {
    if (!pData) return false;
    return DiskFile::saveAtomically(path, pData, size);
}

bool PackedData::readFromFile(std::uint32_t key, const std::u16string& path, std::uint32_t expectedSize) {
    clear();
    DiskFile file(path, DiskFile::kRead);
    if (!file.bOpen || file.size > maxContainerSize(expectedSize)) return false;
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[file.size ? file.size : 1]);
    if (file.read(bytes.get(), static_cast<int>(file.size)) != static_cast<int>(file.size)) return false;
    return unpack(bytes.get(), file.size, key, expectedSize);
}

std::uint32_t hashString(std::u16string_view text) {
    std::uint32_t h = 0;
    for (char16_t c : text) h = h * 33 + c;
    return h;
}

bool writePackedFile(const void* record, std::uint32_t size, const std::u16string& folder,
                     const std::u16string& fileName, const std::u16string& version) {
    if (size == 0) return false;
    PackedData packed;
    if (!packed.pack(record, size, hashString(fileName + version))) return false;
    return packed.writeToFile(folder + u"/" + fileName);
}

bool readPackedFile(void* record, std::uint32_t size, const std::u16string& folder, const std::u16string& fileName,
                    const std::u16string& version) {
    PackedData packed;
    if (!packed.readFromFile(hashString(fileName + version), folder + u"/" + fileName, size)) return false;
    if (packed.size != size) return false;
    std::memcpy(record, packed.pData, size);
    return true;
}
