#include "engine/FileManager.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"

QOR_DEFINE_ROOT_CLASS(FileManager, nullptr)

FileManager::FileManager() { QOR_LOG("FileManager::FileManager", u"Starting..."); }

ClassInfo* FileManager::getClass() const { return &classInfo; }

bool FileManager::exists(std::u16string_view name) const { return fileExists(name); }

void FileManager::verifyFile(std::u16string_view name) const {
    if (exists(name)) return;
    const int error = errno;
    QOR_FATAL("FileManager::verifyFileDisk", u"File %s verification failed (errno %d:%hs, cwd %s)",
              std::u16string(name), error, std::strerror(error), getCurrentDirectory());
}

bool FileManager::readFile(std::u16string_view name, std::vector<std::uint8_t>& bytes) const {
    std::ifstream file(wideToUtf8(name), std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}
