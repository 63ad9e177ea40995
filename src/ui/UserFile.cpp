#include "ui/UserFile.h"

#include <memory>

#include "engine/DiskFile.h"
#include "engine/Logger.h"
#include "engine/PackedData.h"
#include "engine/SystemHelpers.h"

std::u16string getProductName() { return kBuildName; }

std::u16string getUserDataFolder() { return getDataFolder(); }

std::u16string getHighScoreFileName() { return getProductName() + u".hst"; }

std::u16string getProfileFileName() { return getProductName() + u".pro"; }

bool UserFile::load(void* record, std::uint32_t size, const std::u16string& fileName) {
    const std::u16string folder = getUserDataFolder();
    // The data folder ends in "/"; the container functions add their own separator.
    const std::u16string trimmed = folder.ends_with(u'/') ? folder.substr(0, folder.size() - 1) : folder;
    if (readPackedFile(record, size, trimmed, fileName, kVersion)) return true;
    const std::u16string path = folder + fileName;
    if (fileExists(path)) {
        QOR_LOG("UserFile::load", u"Could not load '%s'; keeping it as '%s.bak'.", path, fileName);
        keepBackup(path);
    }
    return false;
}

bool UserFile::save(const void* record, std::uint32_t size, const std::u16string& fileName) {
    const std::u16string folder = getUserDataFolder();
    const std::u16string trimmed = folder.ends_with(u'/') ? folder.substr(0, folder.size() - 1) : folder;
    return writePackedFile(record, size, trimmed, fileName, kVersion);
}

void UserFile::keepBackup(const std::u16string& path) {
    DiskFile file(path, DiskFile::kRead);
    if (!file.bOpen) return;
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[file.size ? file.size : 1]);
    const int count = file.read(bytes.get(), static_cast<int>(file.size));
    if (count < 0) return;
    DiskFile::saveAtomically(path + u".bak", bytes.get(), static_cast<std::size_t>(count));
}
