#include "engine/DiskFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/Logger.h"
#include "engine/Strings.h"

DiskFile::DiskFile(const std::u16string& path, int flags) {
    const std::string narrow = wideToUtf8(path);
    if (flags & kRead) {
        file = std::fopen(narrow.c_str(), "rb");
        if (file && std::fseek(file, 0, SEEK_END) == 0) {
            const long end = std::ftell(file);
            // Sizes are 32-bit throughout the file layer; a larger file is seen as its
            // first 4 GiB, which keeps every range check on the safe side.
            size = end < 0 ? 0
                           : (static_cast<unsigned long>(end) > 0xFFFFFFFFul ? 0xFFFFFFFFu
                                                                             : static_cast<std::uint32_t>(end));
            std::fseek(file, 0, SEEK_SET);
        }
    } else if (flags & kWrite) {
        file = std::fopen(narrow.c_str(), "wb");
    }
    bOpen = file != nullptr;
}

DiskFile::~DiskFile() {
    if (file) std::fclose(file);
}

int DiskFile::read(void* buffer, int count) {
    if (!bOpen) return -1;
    if (count <= 0) return 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count), file));
}

void DiskFile::seek(int position) {
    if (bOpen) std::fseek(file, position, SEEK_SET);
}

bool DiskFile::write(const void* bytes, std::size_t count) {
    if (!bOpen) return false;
    if (count > 0 && std::fwrite(bytes, 1, count, file) != count) bWriteFailed = 1;
    return !bWriteFailed;
}

bool DiskFile::writeLine(std::u16string_view text) {
    const std::string line = wideToUtf8(text) + "\r\n";
    return write(line.data(), line.size());
}

bool DiskFile::flushToDisk() {
    if (!bOpen) return false;
    if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) bWriteFailed = 1;
    return !bWriteFailed;
}

bool DiskFile::saveAtomically(const std::u16string& path, const void* bytes, std::size_t count) {
    const std::string target = wideToUtf8(path);
    const std::string temporary = target + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    bool ok = out && (count == 0 || std::fwrite(bytes, 1, count, out) == count) && std::fflush(out) == 0 &&
              fsync(fileno(out)) == 0;
    int error = errno;
    if (out && std::fclose(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        if (out) std::remove(temporary.c_str());
        QOR_LOG("DiskFile::saveAtomically", u"Could not save '%s': %hs", path, std::strerror(error));
    }
    return ok;
}
