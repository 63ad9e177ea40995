#pragma once
// The game's web service: the HTTP routes over a score store and a crash report store.
//
//   POST /tv2/nettest.php          connection test: the framed settings reply
//   POST /tv2/highscoreupload.php  "HSTfile": a signed score record; kept whole or refused
//   POST /tv2/crashreport.php      "crashLog", "crashMiniDump", "crashScreenshot",
//                                  "crashNetTraffic": kept as one report or refused
//   GET  /tv2/highscoretable.php   the world-wide tables as HTML (optional "table=0..4")
//   GET  /tv2/onlinehelp.php       the help page
//   GET  /                         the home page
//
// Every refusal is a 4xx status with one sentence of plain text and changes nothing; a
// fault of the service's own storage is a 500, and a score database that another holds
// too long (or past a stop's time) a 503 with Retry-After, logged once for each spell of
// such refusals (see BusySpellLog). One address may add only so many new installations
// to the score tables in an hour (uploads of installations already kept are not
// counted); further ones are refused with 429, as are those of an address crowded out of
// the count while the service counts too many others (see HourlyLimit). The high-score
// page is drawn at most once a second and shared by its readers meanwhile. A crash
// report's body goes to the disk as it arrives, so that memory stays flat however many
// come at once. The stores are the caller's and must outlive the service; they are used
// from the server's worker threads.
#include <cstddef>
#include <string>

#include "BusySpellLog.h"
#include "HourlyLimit.h"
#include "HttpServer.h"
#include "ScoreTableCache.h"

class CrashReportStore;
class ScoreStore;

class WebService final : private HttpServer::Handler {
public:
    // Largest request bodies taken, in bytes, per route.
    static constexpr std::size_t kNetTestBodyLimit = 16 * 1024;
    static constexpr std::size_t kUploadBodyLimit = 64 * 1024;
    static constexpr std::size_t kCrashReportBodyLimit = 32 * 1024 * 1024;
    static constexpr std::size_t kOtherBodyLimit = 16 * 1024;
    // The UDP port the game's network play uses, announced with the master server.
    static constexpr int kGamePort = 23006;
    // New installations one address may add in an hour unless told otherwise: enough for
    // a school or a café behind one address.
    static constexpr int kNewInstallationsPerHour = 1000;

    // `newInstallationNetworks` bounds the networks whose new installations are counted
    // at once.
    WebService(ScoreStore& scores, CrashReportStore& crashes, HttpServer::Limits limits = {},
               int newInstallationsPerHour = kNewInstallationsPerHour,
               std::size_t newInstallationNetworks = HourlyLimit::kNetworks);
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Binds to `host` and `port` (0: a free port). Returns the port, or -1 on failure.
    int bind(const std::string& host, int port) { return server_.bind(host, port); }
    // Serves until `stop`; false when the server failed on its own.
    bool run() { return server_.run(); }
    // Ends `run`, or makes a `run` still to come return at once; from any thread.
    void stop() { server_.stop(); }
    // Its server, whose loop a fuzz target turns by hand.
    HttpServer& server() { return server_; }

private:
    using Request = HttpServer::Request;
    using Response = HttpServer::Response;

    HttpServer::Admission admit(const Request& head) override;
    Response handle(Request& request) override;
    void stopping(HttpServer::Clock::time_point deadline) override;
    Response handleNetTest(const Request& request);
    Response handleUpload(const Request& request);
    Response handleCrashReport(Request& request);
    Response handleScoreTable(const Request& request);

    ScoreStore& scores_;
    CrashReportStore& crashes_;
    ScoreTableCache scoreTables_;
    HourlyLimit newInstallations_;  // by the address that sent them
    BusySpellLog busyUploads_;      // outlives the server, whose workers write to it
    HttpServer server_;
};
