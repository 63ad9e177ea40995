#include "engine/UserFileGuard.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/DiskFile.h"
#include "engine/Logger.h"
#include "engine/Strings.h"

namespace {
// A damaged file larger than this is not the player's data as the program wrote it; it
// is protected rather than copied into memory whole.
constexpr std::uint32_t kMaxBackupBytes = 64u << 20;
constexpr std::size_t kChunkBytes = 64u << 10;

std::vector<std::u16string> protectedPaths;
std::vector<UserFileGuard::Problem> reports;  // every report of the run, in order
std::size_t toldReports = 0;                  // reports[0 .. toldReports) have been handed out

// The whole file, or its first maxBytes + 1 bytes; false with `error` set when it could
// not be opened or read.
bool readWhole(const std::u16string& path, std::vector<std::uint8_t>& bytes, std::uint32_t maxBytes, int& error) {
    bytes.clear();
    const int fd = DiskFile::openRegularFile(wideToUtf8(path), error);
    if (fd < 0) return false;
    const std::size_t limit = std::size_t{maxBytes} + 1;
    bool ok = true;
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        bytes.resize(std::min(limit, at + kChunkBytes));
        const ssize_t n = ::read(fd, bytes.data() + at, bytes.size() - at);
        const int readError = errno;
        bytes.resize(at + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n > 0 || (n < 0 && readError == EINTR)) continue;
        if (n < 0) {
            error = readError;
            ok = false;
        }
        break;
    }
    ::close(fd);
    return ok;
}

std::u16string folderOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u'/');
    if (slash == std::u16string::npos) return u".";
    return slash == 0 ? u"/" : path.substr(0, slash);
}
}  // namespace

UserFileGuard::ReadResult UserFileGuard::read(const std::u16string& path, std::vector<std::uint8_t>& bytes,
                                              std::uint32_t maxBytes) {
    int error = 0;
    if (readWhole(path, bytes, maxBytes, error)) return ReadResult::kRead;
    bytes.clear();
    if (error == ENOENT || error == ENOTDIR) return ReadResult::kMissing;
    QOR_LOG("UserFileGuard::read", u"'%s' cannot be read (%s); it is left as it is and not saved until the next start.",
            path, DiskFile::describeError(error));
    protect(path);
    report({Problem::Kind::kUnreadable, path, error});
    return ReadResult::kUnreadable;
}

bool UserFileGuard::keepBackup(const std::u16string& path) {
    std::vector<std::uint8_t> bytes;
    int error = 0;
    if (readWhole(path, bytes, kMaxBackupBytes, error)) {
        if (bytes.size() > kMaxBackupBytes)
            error = EFBIG;
        else if (DiskFile::saveAtomically(path + u".bak", bytes.data(), bytes.size(), &error))
            return true;
    }
    QOR_LOG("UserFileGuard::keepBackup",
            u"Could not keep a copy of '%s' as '%s.bak' (%s); it is left as it is and not saved until the next start.",
            path, getFileName(path), DiskFile::describeError(error));
    protect(path);
    report({Problem::Kind::kNoBackup, path, error});
    return false;
}

bool UserFileGuard::save(const std::u16string& path, const void* bytes, std::size_t count) {
    if (isProtected(path)) {
        QOR_LOG("UserFileGuard::save", u"'%s' is not saved: it is left as it was found at the start.", path);
        return false;
    }
    int error = 0;
    if (DiskFile::saveAtomically(path, bytes, count, &error)) return true;
    reportFailedSave(path, error);
    return false;
}

void UserFileGuard::reportFailedSave(const std::u16string& path, int error) {
    report({Problem::Kind::kNotSaved, folderOf(path), error});
}

bool UserFileGuard::isProtected(const std::u16string& path) {
    return std::find(protectedPaths.begin(), protectedPaths.end(), path) != protectedPaths.end();
}

std::vector<UserFileGuard::Problem> UserFileGuard::takeUntoldProblems() {
    std::vector<Problem> untold(reports.begin() + static_cast<std::ptrdiff_t>(toldReports), reports.end());
    toldReports = reports.size();
    return untold;
}

void UserFileGuard::forgetAll() {
    protectedPaths.clear();
    reports.clear();
    toldReports = 0;
}

void UserFileGuard::protect(const std::u16string& path) {
    if (!isProtected(path)) protectedPaths.push_back(path);
}

void UserFileGuard::report(Problem problem) {
    // The same trouble met again (every save of a read-only folder) is told only once.
    if (std::find(reports.begin(), reports.end(), problem) == reports.end()) reports.push_back(std::move(problem));
}
