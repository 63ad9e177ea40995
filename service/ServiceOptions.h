#pragma once
// The service's command line:
//   --port N      TCP port, 0..65535 (default 8079; 0 picks a free one)
//   --host ADDR   address to listen on (default 127.0.0.1)
//   --data DIR    folder of the database and the crash reports (default: the user's data
//                 folder, $XDG_DATA_HOME or ~/.local/share, + "/Quorrel studios/Torvane2Xmas-service/")
//   --crash-space MIB            disk space all crash reports may take (default 1024)
//   --crash-reports-per-hour N   crash reports taken from one address in an hour (default 10)
//   --crash-reports-at-once N    crash reports on their way from one address at once
//                                (default 4; 0: no limit)
//   --connections-per-address N  connections open at once from one address (default 64;
//                                0: no limit)
//   --new-installations-per-hour N  installations one address may add to the score
//                                tables in an hour (default 1000)
//   --help        the usage text
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ServiceOptions {
public:
    static constexpr int kDefaultPort = 8079;

    // Reads `arguments` (without the program name). False with `error` set on a bad or
    // unknown option or a missing value.
    bool parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage();
    // The default data folder, from the environment; empty when no home is known.
    static std::string defaultDataFolder();

    int port = kDefaultPort;
    std::string host = "127.0.0.1";
    std::string dataFolder;  // defaultDataFolder() unless given
    std::uint64_t crashSpaceMiB = 1024;
    int crashReportsPerHour = 10;
    int crashReportsAtOnce = 4;
    std::size_t connectionsPerAddress = 64;
    int newInstallationsPerHour = 1000;
    bool help = false;
};
