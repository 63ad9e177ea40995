#include "ui/UserFile.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "engine/BackgroundSave.h"
#include "engine/Logger.h"
#include "engine/PackedData.h"
#include "engine/SystemHelpers.h"
#include "engine/UserFileGuard.h"

std::u16string getProductName() { return kBuildName; }

std::u16string getUserDataFolder() { return getDataFolder(); }

std::u16string getHighScoreFileName() { return getProductName() + u".hst"; }

std::u16string getProfileFileName() { return getProductName() + u".pro"; }

bool UserFile::load(void* record, std::uint32_t size, const std::u16string& fileName) {
    const std::u16string path = getUserDataFolder() + fileName;
    // No valid container is longer than its header, length and the worst compression.
    const auto maxBytes = static_cast<std::uint32_t>(PackedData::kHeaderBytes + 4 + compressBound(size));
    std::vector<std::uint8_t> bytes;
    if (UserFileGuard::read(path, bytes, maxBytes) != UserFileGuard::ReadResult::kRead) return false;
    PackedData packed;
    if (packed.unpack(bytes.data(), static_cast<std::uint32_t>(bytes.size()), hashString(fileName + kVersion), size)) {
        std::memcpy(record, packed.pData, size);
        return true;
    }
    QOR_LOG("UserFile::load", u"Could not load '%s'; keeping it as '%s.bak'.", path, fileName);
    UserFileGuard::keepBackup(path);
    return false;
}

bool UserFile::save(const void* record, std::uint32_t size, const std::u16string& fileName) {
    PackedData packed;
    if (!packed.pack(record, size, hashString(fileName + kVersion))) return false;
    return UserFileGuard::save(getUserDataFolder() + fileName, packed.pData, packed.size);
}

bool UserFile::saveInBackground(BackgroundSave& writer, const void* record, std::uint32_t size,
                                const std::u16string& fileName) {
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    const std::uint32_t key = hashString(fileName + kVersion);
    return writer.save(getUserDataFolder() + fileName, [copy = std::vector<std::uint8_t>(bytes, bytes + size), key] {
        PackedData packed;
        if (!packed.pack(copy.data(), static_cast<std::uint32_t>(copy.size()), key)) return std::vector<std::uint8_t>();
        return std::vector<std::uint8_t>(packed.pData, packed.pData + packed.size);
    });
}
