#include "CrashReportStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
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

// What a call that failed failed with, even one that set no error.
int failure() { return errno != 0 ? errno : EIO; }

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Flushes and closes `fd`, the file at `path`; false with the reason in `error` when
// either fails (a failed close may be where a delayed write error shows).
bool closeFlushed(int fd, const std::filesystem::path& path, std::string& error) {
    if (::fsync(fd) != 0) {
        error = systemError("cannot flush " + path.string());
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        error = systemError("cannot close " + path.string());
        return false;
    }
    return true;
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

// The bytes the files under `folder` take, hidden ones left out.
std::uint64_t sizeOf(const std::filesystem::path& folder) {
    std::uint64_t total = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename().string().starts_with(".")) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file(ec)) total += it->file_size(ec);
    }
    return total;
}

constexpr const char* kDescription = "report.txt";  // the request's fields and the files' names
constexpr const char* kNoRoom = "The service has no room for more error reports now; please try again later.";

}  // namespace

CrashReportStore::CrashReportStore(std::filesystem::path folder, Limits limits)
    : folder_(std::move(folder)), limits_(limits), reports_(limits.reportsPerHour, {}, limits.networks) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    // Reports and bodies that were being written when the service last stopped are incomplete.
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".incoming-") || name.starts_with(".upload-"))
            std::filesystem::remove_all(entry.path(), ec);
    }
    used_ = sizeOf(folder_);
}

std::string CrashReportStore::storedName(std::string_view field) {
    for (const FieldFile& f : kFiles)
        if (f.field == field) return std::string(f.file);
    return {};
}

std::uint64_t CrashReportStore::usedBytes() {
    std::lock_guard lock(mutex_);
    return used_;
}

// The report's place among those on their way from its network is taken first, so that a
// refusal for want of it counts nothing against the address's hour.
std::unique_ptr<CrashReportStore::Claim> CrashReportStore::claim(const std::string& address, std::uint64_t bytes,
                                                                 std::int64_t now, std::string& error) {
    const AddressNetwork network = AddressNetwork::of(address);
    if (!enter(network)) {
        error = "This address has " + std::to_string(limits_.reportsAtOnce) +
                " error reports on their way already; please try again once one of them has arrived.";
        return nullptr;
    }
    const HourlyLimit::Outcome take = reports_.take(address);
    if (!take.taken) {
        {
            std::lock_guard lock(mutex_);
            leave(network);
        }
        error = take.refusal == HourlyLimit::Refusal::crowded
                    ? "The service is taking error reports from too many addresses now; please try again later."
                    : "This address has sent " + std::to_string(std::max(reports_.perHour(), 0)) +
                          " error reports in the last hour; please try again later.";
        return nullptr;
    }
    const HourlyLimit::Taken taken = *take.taken;
    std::lock_guard lock(mutex_);
    // Reports removed by hand since the last count free their room (counted at most once
    // a minute: the service's event thread waits for it).
    if (used_ + claimed_ + bytes > limits_.diskBytes && now >= lastCount_ + 60) {
        used_ = sizeOf(folder_);
        lastCount_ = now;
    }
    if (used_ + claimed_ + bytes > limits_.diskBytes) {
        error = kNoRoom;
        reports_.giveBack(address, taken);
        leave(network);
        return nullptr;
    }
    return std::unique_ptr<Claim>(new Claim(*this, address, network, taken));
}

// Takes a place among the reports on their way from `network`; false when it has none
// left.
bool CrashReportStore::enter(const AddressNetwork& network) {
    std::lock_guard lock(mutex_);
    int& onItsWay = onTheirWay_[network];
    if (limits_.reportsAtOnce > 0 && onItsWay >= limits_.reportsAtOnce) return false;
    ++onItsWay;
    return true;
}

// Gives back a place that `enter` took; under the lock.
void CrashReportStore::leave(const AddressNetwork& network) {
    const auto found = onTheirWay_.find(network);
    if (--found->second == 0) onTheirWay_.erase(found);
}

bool CrashReportStore::Claim::grow(std::uint64_t bytes, std::string& error) {
    std::lock_guard lock(store_.mutex_);
    if (bytes <= bytes_) return true;
    if (store_.used_ + store_.claimed_ + (bytes - bytes_) > store_.limits_.diskBytes) {
        error = kNoRoom;
        refusedByService_ = true;
        return false;
    }
    store_.claimed_ += bytes - bytes_;
    bytes_ = bytes;
    return true;
}

CrashReportStore::Claim::~Claim() { store_.release(*this); }

void CrashReportStore::release(Claim& claim) {
    std::lock_guard lock(mutex_);
    claimed_ -= claim.bytes_;
    leave(claim.network_);
    if (claim.refusedByService_) reports_.giveBack(claim.address_, claim.taken_);
}

std::unique_ptr<CrashReportStore::Draft> CrashReportStore::draft(std::string& error) {
    std::string pattern = (folder_ / ".incoming-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = systemError("cannot make a folder in " + folder_.string());
        return nullptr;
    }
    return std::unique_ptr<Draft>(new Draft(pattern));
}

// The draft's files are known by name, so that it goes without opening its folder: at the
// open-file limit a listing would fail and leave the folder behind.
CrashReportStore::Draft::~Draft() {
    if (fd_ >= 0) ::close(fd_);
    if (folder_.empty()) return;
    for (const File& file : files_) ::unlink((folder_ / storedName(file.field)).c_str());
    ::unlink((folder_ / kDescription).c_str());
    if (::rmdir(folder_.c_str()) != 0) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

std::uint64_t CrashReportStore::Draft::bytes() const {
    std::uint64_t total = 0;
    for (const File& file : files_) total += file.size;
    return total;
}

bool CrashReportStore::Draft::beginFile(std::string_view field, std::string_view clientFileName, std::string& error) {
    const std::filesystem::path path = folder_ / storedName(field);
    if (storedName(field).empty() || fd_ >= 0) {
        error = "Unexpected form field \"" + std::string(field) + "\".";
        return false;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        failure_ = errno == EEXIST ? 0 : errno;
        error = diskFailed() ? systemError("cannot create " + path.string())
                             : "The form has \"" + std::string(field) + "\" more than once.";
        return false;
    }
    files_.push_back({std::string(field), std::string(clientFileName), 0});
    return true;
}

bool CrashReportStore::Draft::write(std::string_view bytes, std::string& error) {
    if (!writeAll(fd_, bytes)) {
        failure_ = failure();
        error = systemError("cannot write " + (folder_ / storedName(files_.back().field)).string());
        return false;
    }
    files_.back().size += bytes.size();
    return true;
}

bool CrashReportStore::Draft::endFile(std::string& error) {
    const int fd = fd_;
    fd_ = -1;
    if (closeFlushed(fd, folder_ / storedName(files_.back().field), error)) return true;
    failure_ = failure();
    return false;
}

std::string CrashReportStore::keep(Draft& draft, const std::vector<std::pair<std::string, std::string>>& fields,
                                   std::int64_t received, std::string& error) {
    std::string text = "received=" + utcStamp(received, "%Y-%m-%dT%H:%M:%SZ") + "\n";
    for (const auto& [name, value] : fields) text += Utf8Text::sanitize(name) + "=" + Utf8Text::sanitize(value) + "\n";
    for (const Draft::File& file : draft.files_) {
        text += file.field + "=" + storedName(file.field) + ", " + std::to_string(file.size) + " bytes, sent as \"" +
                Utf8Text::sanitize(baseName(file.clientFileName)) + "\"\n";
    }
    const std::filesystem::path description = draft.folder_ / kDescription;
    const int fd = ::open(description.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        draft.failure_ = errno;
        error = systemError("cannot create " + description.string());
        return {};
    }
    if (!writeAll(fd, text)) {
        error = systemError("cannot write " + description.string());
        ::close(fd);
        return {};
    }
    if (!closeFlushed(fd, description, error)) return {};
    syncFolder(draft.folder_);
    // The hidden folder's random suffix keeps two reports of the same second apart.
    const std::string incoming = draft.folder_.string();
    const std::string name = utcStamp(received, "%Y%m%d-%H%M%S-") + incoming.substr(incoming.size() - 6);
    if (std::rename(incoming.c_str(), (folder_ / name).c_str()) != 0) {
        error = systemError("cannot move the report into " + folder_.string());
        return {};
    }
    draft.folder_.clear();
    syncFolder(folder_);
    std::lock_guard lock(mutex_);
    used_ += draft.bytes() + text.size();
    return name;
}
