#include "platform/SystemInfo.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace {
std::string readLink(const std::string& path) {
    std::vector<char> buffer(4096);
    ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

// The whole of a small file through plain system calls: nothing here throws, and a
// file that vanishes while it is read just gives what was read.
std::string readSmallFile(const std::string& path) {
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 && text.size() < 65536)
        text.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return text;
}
}  // namespace

namespace SystemInfo {

std::string executablePath() { return readLink("/proc/self/exe"); }

std::string computerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || !buffer[0]) return "Unknown";
    return buffer;
}

std::string userName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "Unknown";
}

std::string currentDirectory() {
    std::vector<char> buffer(4096);
    return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}

std::string userDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share";
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) return std::string(pw->pw_dir) + "/.local/share";
    return {};
}

std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> processes;
    DIR* proc = opendir("/proc");
    if (!proc) return processes;
    while (const dirent* entry = readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
        // /proc/<pid>/stat: "pid (name) state ppid ..."; the name may hold blanks and
        // parentheses, so it runs to the last ")". A process may end while we read it.
        const std::string stat = readSmallFile(std::string("/proc/") + entry->d_name + "/stat");
        const auto open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) continue;
        ProcessEntry p;
        p.processId = std::atoi(stat.c_str());
        p.name = stat.substr(open + 1, close - open - 1);
        char state = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &p.parentProcessId) != 2) continue;
        processes.push_back(p);
    }
    closedir(proc);
    std::sort(processes.begin(), processes.end(),
              [](const ProcessEntry& a, const ProcessEntry& b) { return a.processId < b.processId; });
    return processes;
}

OsVersion osVersion() {
    OsVersion version;
    utsname names{};
    if (uname(&names) != 0) return version;
    version.name = names.sysname;
    version.details = names.version;
    std::sscanf(names.release, "%d.%d.%d", &version.major, &version.minor, &version.build);
    return version;
}

MemoryStatus memoryStatus() {
    std::map<std::string, std::uint64_t> kib;
    std::istringstream file(readSmallFile("/proc/meminfo"));
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t value = 0;
        if (fields >> key >> value && !key.empty()) kib[key.substr(0, key.size() - 1)] = value;
    }
    MemoryStatus status;
    status.totalPhysical = kib["MemTotal"] << 10;
    status.availablePhysical = kib["MemAvailable"] << 10;
    status.totalSwap = kib["SwapTotal"] << 10;
    status.availableSwap = kib["SwapFree"] << 10;
    status.totalCommit = kib["CommitLimit"] << 10;
    const std::uint64_t committed = kib["Committed_AS"] << 10;
    status.availableCommit = committed < status.totalCommit ? status.totalCommit - committed : 0;
    if (status.totalPhysical > 0)
        status.loadPercent = static_cast<int>(100 - status.availablePhysical * 100 / status.totalPhysical);
    return status;
}

bool createDirectories(const std::string& path) {
    auto isFolder = [&path] {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    };
    if (isFolder()) return true;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0700);
    mkdir(path.c_str(), 0700);
    return isFolder();
}

}  // namespace SystemInfo
