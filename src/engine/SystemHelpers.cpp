#include "engine/SystemHelpers.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "engine/Strings.h"
#include "platform/SystemInfo.h"

namespace {
std::u16string storedProgramFileName;
std::vector<std::u16string> storedParameters;

std::u16string formatTime(std::time_t t, bool utc) {
    std::tm parts{};
    if (utc ? !gmtime_r(&t, &parts) : !localtime_r(&t, &parts)) return u"";
    char buffer[64];
    std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H.%M.%S", &parts);
    return utf8ToWide(std::string_view(buffer, n));
}
}  // namespace

std::u16string getPlatformName() { return u"LINUX"; }

std::u16string getWordSize() { return sizeof(void*) == 8 ? u"64bit" : u"32bit"; }

std::u16string getVersionString() {
    return std::u16string(kBuildName) + u" v" + kVersion + u"." + kPatch + u" " + getWordSize() + u" ";
}

std::u16string getDataFolder() {
    std::string path = SystemInfo::userDataHome();
    if (path.empty()) path.push_back('.');
    for (const char16_t* level : {kMakerFolder, kBuildName, kVersion}) path.append(1, '/').append(wideToUtf8(level));
    // On a fresh account even the base folder may be missing. A folder that cannot be
    // made is reported where the files are written: by the log and the title's notice.
    SystemInfo::createDirectories(path);
    return utf8ToWide(path + "/");
}

std::u16string getProgramFolder() {
    std::u16string exe = utf8ToWide(SystemInfo::executablePath());
    auto slash = exe.find_last_of(u'/');
    return slash == std::u16string::npos ? exe : exe.substr(0, slash);
}

std::u16string getApplicationFolder() { return getProgramFolder() + u"/"; }

std::u16string getCurrentDirectory() {
    std::string dir = SystemInfo::currentDirectory();
    return dir.empty() ? u"Unknown" : utf8ToWide(dir);
}

std::u16string getCrashDumpPath() { return getDataFolder() + u"crash." + kBuildName + u".mdmp"; }
std::u16string getCrashLogPath() { return getDataFolder() + u"crash." + kBuildName + u".log"; }
std::u16string getCrashScreenshotPath() { return getDataFolder() + u"crash." + kBuildName + u".jpg"; }
std::u16string getCrashNetPath() { return getDataFolder() + u"crash." + kBuildName + u".net"; }

bool fileExists(std::u16string_view path) {
    // Looked at, never opened: a file that cannot be read still exists, and opening a
    // pipe would wait for a writer.
    struct stat info {};
    return ::stat(wideToUtf8(path).c_str(), &info) == 0;
}

bool copyFile(std::u16string_view source, std::u16string_view destination) {
    std::ifstream in(wideToUtf8(source), std::ios::binary);
    if (!in) return false;
    std::ofstream out(wideToUtf8(destination), std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

std::u16string getSystemLanguageCode() {
    // LC_ALL, LC_MESSAGES, LANG: the first set one decides, as for the C library's
    // message locale ("de_DE.UTF-8" gives "de").
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string code(value);
        code = code.substr(0, code.find_first_of(":_.@"));
        if (code == "C" || code == "POSIX") return u"en";
        if (!code.empty()) return toLowerAscii(utf8ToWide(code));
    }
    return u"en";
}

void setCommandLine(const std::u16string& programFileName, std::vector<std::u16string> parameters) {
    storedProgramFileName = programFileName;
    storedParameters = std::move(parameters);
}

const std::u16string& getProgramFileName() { return storedProgramFileName; }
const std::vector<std::u16string>& getCommandLineParameters() { return storedParameters; }

bool hasCommandLineSwitch(std::u16string_view text) {
    for (const auto& p : storedParameters)
        if (p == text) return true;
    return false;
}

std::u16string getTimeStamp(std::time_t t) { return formatTime(t, true); }
std::u16string getLocalTimeStamp(std::time_t t) { return formatTime(t, false); }
