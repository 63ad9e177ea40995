#include "engine/Logger.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "engine/ClassInfo.h"
#include "engine/DiskFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/CrashHandler.h"
#include "platform/SystemClock.h"
#include "platform/SystemInfo.h"

QOR_DEFINE_ROOT_CLASS(Logger, nullptr)

Logger::Logger(std::u16string path_) : Logger(std::move(path_), SystemClock::standard()) {}

Logger::Logger(std::u16string path_, const SystemClock& clock_) : path(std::move(path_)), clock(clock_) {
    open();
    writeHeader();
}

ClassInfo* Logger::getClass() const { return &classInfo; }

Logger::~Logger() {
    if (fd >= 0 && !onStandardError) close(fd);
    CrashHandler::setLogCopy({}, {});
}

std::u16string Logger::getLogPath() { return getDataFolder() + kBuildName + u".log"; }

void Logger::open() {
    // Never through a link planted at the log's name, never waiting on a pipe.
    fd = ::open(wideToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    openError = fd < 0 ? errno : 0;
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) openError = DiskFile::kNotRegularFile;
    static const unsigned char bom[] = {0xEF, 0xBB, 0xBF};
    if (fd >= 0 && !openError && write(fd, bom, sizeof bom) != sizeof bom) openError = errno ? errno : EIO;
    if (openError) {
        if (fd >= 0) close(fd);
        fd = STDERR_FILENO;
        onStandardError = true;
        return;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // A crash copies the log as it stands; every line is already on disk.
    CrashHandler::setLogCopy(wideToUtf8(path), wideToUtf8(getCrashLogPath()));
}

void Logger::writeHeader() {
    log(u"Application: %s", getVersionString());
    log(u"Executing %s->%s->%s", utf8ToWide(SystemInfo::computerName()), utf8ToWide(SystemInfo::userName()),
        utf8ToWide(SystemInfo::executablePath()));
    log(u"Current directory: %s", getCurrentDirectory());
    for (const auto& parameter : getCommandLineParameters()) log(u"Command-line parameter: [%s]", parameter);
    if (onStandardError)
        log(u"Log file: %s could not be created (%s); logging to standard error.", path,
            DiskFile::describeError(openError));
    else
        log(u"Log file: %s", path);
    log(u"Log date: %s UTC", getTimeStamp(std::time(nullptr)));
}

void Logger::writeLine(const std::u16string& message) {
    // Elapsed milliseconds in unsigned 32-bit arithmetic, so the clock's wrap after
    // 49.7 days still gives the true small difference.
    const std::uint32_t nowMs = clock.milliseconds();
    const std::uint32_t elapsed = nowMs - previousLineMs;
    std::u16string line =
        hasPreviousLine && elapsed != 0 ? formatString(u"+%lu\t%s", elapsed, message) : formatString(u"\t%s", message);
    std::string bytes = wideToUtf8(line);
    bytes += onStandardError ? "\n" : "\r\n";
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    hasPreviousLine = true;
    previousLineMs = nowMs;
}

void Logger::logFrom(const char* method, const std::u16string& message) {
    if (fd >= 0) writeLine(formatString(u"%s(): %s", utf8ToWide(method), message));
}

void Logger::closeAndCopy() {
    if (onStandardError) {
        fd = -1;
        return;
    }
    if (fd >= 0) {
        fsync(fd);
        close(fd);
        fd = -1;
    }
    copyFile(path, getCrashLogPath());
    CrashHandler::setLogCopy({}, {});
}

void Logger::appendAfterEnd(const char* method, const std::u16string& message, const std::u16string& path) {
    const std::string line = wideToUtf8(formatString(u"\t%s(): %s", utf8ToWide(method), message));
    const int file =
        ::open(wideToUtf8(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    struct stat info {};
    const bool regular = file >= 0 && fstat(file, &info) == 0 && S_ISREG(info.st_mode);
    const std::string bytes = line + (regular ? "\r\n" : "\n");
    const int fd = regular ? file : STDERR_FILENO;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (file >= 0) close(file);
}

void logFrom(const char* method, const std::u16string& message) {
    if (qor && qor->pLogger) qor->logger().logFrom(method, message);
}
