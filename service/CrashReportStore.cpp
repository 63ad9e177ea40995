#include "CrashReportStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "Utf8Text.h"

namespace {

struct FieldFile {
    std::string_view field;
    std::string_view file;
};
constexpr FieldFile kFiles[] = {{"crashLog", "log.txt"},
                                {"crashMiniDump", "crash.dump"},
                                {"crashScreenshot", "screenshot.jpg"},
                                {"crashNetTraffic", "network.trace"}};

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// Writes `bytes` to a new file and flushes it to the disk.
bool writeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = systemError("cannot create " + path.string());
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = systemError("cannot write " + path.string());
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    if (!synced) error = systemError("cannot flush " + path.string());
    return ::close(fd) == 0 && synced;
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string baseName(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string utcStamp(std::int64_t seconds, const char* format) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

std::string describe(const std::vector<std::pair<std::string, std::string>>& fields,
                     const std::vector<CrashReportStore::Part>& parts, std::int64_t received) {
    std::string text = "received=" + utcStamp(received, "%Y-%m-%dT%H:%M:%SZ") + "\n";
    for (const auto& [name, value] : fields) text += Utf8Text::sanitize(name) + "=" + Utf8Text::sanitize(value) + "\n";
    for (const CrashReportStore::Part& part : parts) {
        text += part.field + "=" + CrashReportStore::storedName(part.field) + ", " +
                std::to_string(part.content.size()) + " bytes, sent as \"" +
                Utf8Text::sanitize(baseName(part.clientFileName)) + "\"\n";
    }
    return text;
}

}  // namespace

CrashReportStore::CrashReportStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::string CrashReportStore::storedName(std::string_view field) {
    for (const FieldFile& f : kFiles)
        if (f.field == field) return std::string(f.file);
    return {};
}

std::string CrashReportStore::store(const std::vector<std::pair<std::string, std::string>>& fields,
                                    const std::vector<Part>& parts, std::int64_t received, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::string pattern = (folder_ / ".incoming-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = systemError("cannot make a folder in " + folder_.string());
        return {};
    }
    const std::filesystem::path incoming = pattern;
    bool written = writeFile(incoming / "report.txt", describe(fields, parts, received), error);
    for (std::size_t i = 0; written && i < parts.size(); ++i)
        written = writeFile(incoming / storedName(parts[i].field), parts[i].content, error);
    // The hidden folder's random suffix keeps two reports of the same second apart.
    const std::string name = utcStamp(received, "%Y%m%d-%H%M%S-") + pattern.substr(pattern.size() - 6);
    if (written) {
        syncFolder(incoming);
        if (std::rename(incoming.c_str(), (folder_ / name).c_str()) == 0) {
            syncFolder(folder_);
            return name;
        }
        error = systemError("cannot move the report into " + folder_.string());
    }
    std::filesystem::remove_all(incoming, ec);
    return {};
}
