#include "ServiceOptions.h"

#include <charconv>
#include <cstdlib>

namespace {
template <typename Number>
bool parseNumber(const std::string& text, Number lowest, Number highest, Number& number) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < lowest || value > highest) return false;
    number = value;
    return true;
}
}  // namespace

bool ServiceOptions::parse(const std::vector<std::string>& arguments, std::string& error) {
    dataFolder.clear();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            help = true;
            continue;
        }
        if (option != "--port" && option != "--host" && option != "--data" && option != "--crash-space" &&
            option != "--crash-reports-per-hour" && option != "--crash-reports-at-once" &&
            option != "--connections-per-address" && option != "--new-installations-per-hour") {
            error = "unknown option '" + option + "'";
            return false;
        }
        if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
            error = "option '" + option + "' needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--port" && !parseNumber(value, 0, 65535, port)) {
            error = "'" + value + "' is no port number (0 to 65535)";
            return false;
        }
        if (option == "--crash-space" && !parseNumber<std::uint64_t>(value, 0, std::uint64_t{1} << 40, crashSpaceMiB)) {
            error = "'" + value + "' is no number of MiB";
            return false;
        }
        if (option == "--crash-reports-per-hour" && !parseNumber(value, 0, 1000000, crashReportsPerHour)) {
            error = "'" + value + "' is no number of reports (0 to 1000000)";
            return false;
        }
        if (option == "--crash-reports-at-once" && !parseNumber(value, 0, 1000000, crashReportsAtOnce)) {
            error = "'" + value + "' is no number of reports (0 to 1000000)";
            return false;
        }
        if (option == "--connections-per-address" &&
            !parseNumber<std::size_t>(value, 0, 1000000, connectionsPerAddress)) {
            error = "'" + value + "' is no number of connections (0 to 1000000)";
            return false;
        }
        if (option == "--new-installations-per-hour" && !parseNumber(value, 0, 1000000, newInstallationsPerHour)) {
            error = "'" + value + "' is no number of installations (0 to 1000000)";
            return false;
        }
        if (option == "--host") host = value;
        if (option == "--data") dataFolder = value;
    }
    if (dataFolder.empty()) dataFolder = defaultDataFolder();
    if (dataFolder.empty()) {
        error = "no data folder: set HOME or XDG_DATA_HOME, or give --data";
        return false;
    }
    return true;
}

std::string ServiceOptions::usage() {
    return "Usage: torvane_service [--port N] [--host ADDR] [--data DIR] [--crash-space MIB]\n"
           "                       [--crash-reports-per-hour N] [--crash-reports-at-once N]\n"
           "                       [--connections-per-address N] [--new-installations-per-hour N]\n"
           "Serves the game's connection test, score uploads, crash reports, world-wide\n"
           "high-score page and help page.\n"
           "  --port N     TCP port (default 8079; 0 picks a free port)\n"
           "  --host ADDR  address to listen on (default 127.0.0.1)\n"
           "  --data DIR   folder of the score database and the crash reports\n"
           "               (default: $XDG_DATA_HOME or ~/.local/share, then\n"
           "               \"Quorrel studios/Torvane2Xmas-service\")\n"
           "  --crash-space MIB  disk space all crash reports may take (default 1024)\n"
           "  --crash-reports-per-hour N\n"
           "               crash reports taken from one address in an hour (default 10)\n"
           "  --crash-reports-at-once N\n"
           "               crash reports on their way from one address at once (default 4;\n"
           "               0: no limit; raise it behind a proxy)\n"
           "  --connections-per-address N\n"
           "               connections open at once from one address (default 64;\n"
           "               0: no limit; raise it behind a proxy)\n"
           "  --new-installations-per-hour N\n"
           "               installations whose first scores one address may send in an\n"
           "               hour (default 1000; raise it behind a proxy)\n";
}

std::string ServiceOptions::defaultDataFolder() {
    std::string base;
    // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    if (base.empty()) return {};
    return base + "/Quorrel studios/" TORVANE_BUILD_NAME "-service/";
}
