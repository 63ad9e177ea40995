#pragma once
// The program's identity, its folders, and small file and system helpers.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// The build name: it names the data archive, the settings files, the log and the data folder.
inline constexpr char16_t kBuildName[] = u"" TORVANE_BUILD_NAME;
inline constexpr char16_t kVersion[] = u"2.79";
inline constexpr char16_t kPatch[] = u"p";
inline constexpr char16_t kMakerFolder[] = u"Quorrel studios";
inline constexpr char16_t kWindowTitle[] = u"Torvane 2";

std::u16string getPlatformName();  // "LINUX"
std::u16string getWordSize();      // "64bit" or "32bit", from the build
// "<build> v<version>.<patch> <word size> " (with its trailing blank).
std::u16string getVersionString();

// The per-user data folder: $XDG_DATA_HOME (default ~/.local/share), then the maker's
// folder, the build name and the version, each level created on first use. Ends in "/".
std::u16string getDataFolder();
// The folder of the program file, without and with a trailing "/".
std::u16string getProgramFolder();
std::u16string getApplicationFolder();
std::u16string getCurrentDirectory();  // "Unknown" when it cannot be read

// The crash files in the data folder: "crash.<build>.mdmp", ".log" and ".jpg", and a
// network trace ".net" that nothing of this program writes but the report sends.
std::u16string getCrashDumpPath();
std::u16string getCrashLogPath();
std::u16string getCrashScreenshotPath();
std::u16string getCrashNetPath();

// True when anything is at `path` (following links), whether or not it can be read.
bool fileExists(std::u16string_view path);
// Copies source over destination; false when it could not.
bool copyFile(std::u16string_view source, std::u16string_view destination);

// The user's language as an ISO 639 code ("en", "de"), from the locale settings.
std::u16string getSystemLanguageCode();

// The command line of this run, stored by the program entry.
void setCommandLine(const std::u16string& programFileName, std::vector<std::u16string> parameters);
const std::u16string& getProgramFileName();
const std::vector<std::u16string>& getCommandLineParameters();
// True when one parameter equals `text` exactly.
bool hasCommandLineSwitch(std::u16string_view text);

// Calendar time as UTC, "%Y-%m-%d %H.%M.%S"; and the same in local time.
std::u16string getTimeStamp(std::time_t t);
std::u16string getLocalTimeStamp(std::time_t t);
