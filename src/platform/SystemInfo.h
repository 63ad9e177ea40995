#pragma once
// Facts about the process and the machine, in UTF-8.
#include <cstdint>
#include <string>
#include <vector>

namespace SystemInfo {
std::string executablePath();    // the full path of the running program
std::string computerName();      // the host name; "Unknown" when it cannot be read
std::string userName();          // the login name; "Unknown" when it cannot be read
std::string currentDirectory();  // empty when it cannot be read
// $XDG_DATA_HOME, or $HOME/.local/share; empty when neither is known.
std::string userDataHome();
struct ProcessEntry {
    int processId = -1;
    int parentProcessId = -1;
    std::string name;  // the executable's short name
};
// The running processes in ascending process-id order; empty when unreadable.
std::vector<ProcessEntry> listProcesses();

struct OsVersion {
    std::string name;                     // "Linux"
    int major = 0, minor = 0, build = 0;  // from the kernel release, e.g. 6.1.0
    std::string details;                  // the kernel's version text
};
OsVersion osVersion();

struct MemoryStatus {
    int loadPercent = 0;                                     // share of physical memory in use
    std::uint64_t totalPhysical = 0, availablePhysical = 0;  // bytes
    std::uint64_t totalSwap = 0, availableSwap = 0;
    std::uint64_t totalCommit = 0, availableCommit = 0;  // the commit limit and what is left of it
};
MemoryStatus memoryStatus();

// Creates every missing folder of `path`, parents first, each readable by the user
// alone (0700); folders already there are left as they are. True when `path` is a
// folder afterwards.
bool createDirectories(const std::string& path);
}  // namespace SystemInfo
