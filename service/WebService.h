#pragma once
// The game's web service: the HTTP routes over a score store and a crash report store.
//
//   POST /tv2/nettest.php          connection test: the framed settings reply
//   POST /tv2/highscoreupload.php  "HSTfile": a signed score record; kept whole or refused
//   POST /tv2/crashreport.php      "crashLog", "crashMiniDump", "crashScreenshot",
//                                  "crashNetTraffic": kept as one report or refused
//   GET  /tv2/highscoretable.php   the world-wide tables as HTML (optional "table=0..4")
//   GET  /tv2/onlinehelp.php       the help page
//
// Every refusal is a 4xx status with one sentence of plain text and changes nothing; a
// fault of the service's own storage is a 500. The stores are the caller's and must
// outlive the service; they are used from the server's worker threads.
#include <httplib.h>

#include <cstddef>
#include <string>

class CrashReportStore;
class ScoreStore;

class WebService {
public:
    // Largest request bodies taken, in bytes, per route.
    static constexpr std::size_t kNetTestBodyLimit = 16 * 1024;
    static constexpr std::size_t kUploadBodyLimit = 64 * 1024;
    static constexpr std::size_t kCrashReportBodyLimit = 32 * 1024 * 1024;
    static constexpr std::size_t kOtherBodyLimit = 16 * 1024;
    // Worker threads: each keep-alive connection holds one while it lasts.
    static constexpr std::size_t kThreadCount = 64;
    // The UDP port the game's network play uses, announced with the master server.
    static constexpr int kGamePort = 23006;

    WebService(ScoreStore& scores, CrashReportStore& crashes);
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Binds to `host` and `port` (0: a free port). Returns the port, or -1 on failure.
    int bind(const std::string& host, int port);
    // Serves until `stop`; false when the server could not run.
    bool run();
    // Ends `run` (from any thread).
    void stop();

private:
    void handleNetTest(const httplib::Request& request, httplib::Response& response);
    void handleUpload(const httplib::Request& request, httplib::Response& response);
    void handleCrashReport(const httplib::Request& request, httplib::Response& response);
    void handleScoreTable(const httplib::Request& request, httplib::Response& response);
    httplib::Server::HandlerResponse checkBodySize(const httplib::Request& request, httplib::Response& response);
    void routes();

    ScoreStore& scores_;
    CrashReportStore& crashes_;
    httplib::Server server_;
    int listenSocket_ = -1;  // the server's listening socket, once bound
};
