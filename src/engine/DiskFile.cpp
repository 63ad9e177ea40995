#include "engine/DiskFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/Logger.h"
#include "engine/Strings.h"

namespace {
// Creates `path` new for writing, never through a link. A file or link left at the name
// (by a run that was killed mid-save, or planted) is removed first: unlinking removes the
// link itself, never what it points to.
int createTemporary(const std::string& path, int& error) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        error = errno;
        if (error != EEXIST || ::unlink(path.c_str()) != 0) return -1;
    }
    return -1;
}

bool writeAll(int fd, const void* bytes, std::size_t count, int& error) {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// The folder's entry for the renamed file reaches the disk too, so that a power cut
// right after a save cannot bring back the old file.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    ::close(fd);
}
}  // namespace

int DiskFile::openRegularFile(const std::string& path, int& error) {
    // Non-blocking: a pipe without a writer would otherwise hold the program here.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISREG(info.st_mode) ? errno : kNotRegularFile;
        ::close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    error = 0;
    return fd;
}

std::u16string DiskFile::describeError(int error) {
    if (error == kNotRegularFile) return u"not a regular file";
    return utf8ToWide(std::strerror(error));
}

DiskFile::DiskFile(const std::u16string& path, int flags) {
    const std::string narrow = wideToUtf8(path);
    if (flags & kRead) {
        const int fd = openRegularFile(narrow, openError);
        if (fd >= 0 && !(file = fdopen(fd, "rb"))) {
            openError = errno;
            ::close(fd);
        }
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
        if (!file) openError = errno;
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

bool DiskFile::writeAtomically(const std::u16string& path, const void* bytes, std::size_t count, int& error) {
    const std::string target = wideToUtf8(path);
    const std::string temporary = target + ".tmp";
    error = 0;
    const int fd = createTemporary(temporary, error);
    bool ok = fd >= 0 && writeAll(fd, bytes, count, error);
    if (ok && fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) {
        syncFolderOf(target);
        error = 0;  // an earlier run's temporary may have been met on the way
    } else if (fd >= 0) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

bool DiskFile::saveAtomically(const std::u16string& path, const void* bytes, std::size_t count, int* errorOut) {
    int error = 0;
    const bool ok = writeAtomically(path, bytes, count, error);
    if (!ok) QOR_LOG("DiskFile::saveAtomically", u"Could not save '%s': %hs", path, std::strerror(error));
    if (errorOut) *errorOut = error;
    return ok;
}
