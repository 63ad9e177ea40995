#pragma once
// Facts about the process and the machine, in UTF-8.
#include <string>

namespace SystemInfo {
std::string executablePath();   // the full path of the running program
std::string computerName();     // the host name; "Unknown" when it cannot be read
std::string userName();         // the login name; "Unknown" when it cannot be read
std::string currentDirectory(); // empty when it cannot be read
// $XDG_DATA_HOME, or $HOME/.local/share; empty when neither is known.
std::string userDataHome();
// Number of running processes whose executable's file name equals `name`, ignoring case.
int countProcessesNamed(const std::string& name);
// Creates one folder level with the user's own rights; true when it exists afterwards.
bool createDirectory(const std::string& path);
}  // namespace SystemInfo
