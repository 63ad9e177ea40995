#pragma once
// A web service on a free port of 127.0.0.1 over a fresh data folder, with a client.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>

#include "CrashReportStore.h"
#include "SqliteScoreStore.h"
#include "WebService.h"
#include "support/GameForm.h"
#include "support/LoopbackConnection.h"

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // A refusal may come before the client has sent its whole body.
        std::signal(SIGPIPE, SIG_IGN);
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-service-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        start();
    }
    void TearDown() override {
        stop();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    void start() {
        // The store's waits end on the server's clock, so that a stop's deadline means the
        // same to both.
        scores = std::make_unique<SqliteScoreStore>((folder / "scores.sqlite3").string(),
                                                    SqliteScoreStore::kLockPatience, serverLimits.clock);
        ASSERT_TRUE(scores->ok()) << scores->openError();
        crashes = std::make_unique<CrashReportStore>(folder / "crashreports", crashLimits);
        service = std::make_unique<WebService>(*scores, *crashes, serverLimits, newInstallationsPerHour,
                                               newInstallationNetworks);
        port = service->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        thread = std::thread([this] { service->run(); });
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
    }
    void stop() {
        if (service) service->stop();
        if (thread.joinable()) thread.join();
        client.reset();
        service.reset();
        crashes.reset();
        scores.reset();
    }

    // A new connection to the service, from `source` (an address of 127.0.0.0/8) when
    // given; -1 on failure.
    int connectToService(const char* source = nullptr) const { return LoopbackConnection{source}.to(port); }

    // Reads the status line of the answer on `fd`, without its line break; what has come
    // when the connection ends or nothing comes for 10 s.
    static std::string statusLineOn(int fd) {
        const timeval wait{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string line;
        char c;
        while (::recv(fd, &c, 1, 0) == 1 && c != '\r') line += c;
        return line;
    }

    // Sends `head` (request line and headers, and a body if any) on a connection of its
    // own, from `source` when given, and returns the status line of the answer; what has
    // come when none comes in 10 s.
    std::string statusLineFor(const std::string& head, const char* source = nullptr) {
        const int fd = connectToService(source);
        std::string line;
        if (fd >= 0 && ::send(fd, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size()))
            line = statusLineOn(fd);
        ::close(fd);
        return line;
    }
    // The status line for a POST of `length` bytes to `path`, sent without its body,
    // optionally asking first.
    std::string statusLineForLength(const std::string& path, std::size_t length, bool expectContinue = false) {
        return statusLineFor("POST " + path + " HTTP/1.1\r\nHost: localhost\r\nContent-Type: " +
                             GameForm::kContentType + "\r\nContent-Length: " + std::to_string(length) + "\r\n" +
                             (expectContinue ? "Expect: 100-continue\r\n" : "") + "\r\n");
    }

    // Makes the server of the next `start` read its deadlines from a clock that stands
    // still until the test moves it with `advanceClock`, so that none passes by itself.
    void freezeClock() {
        serverLimits.clock = [this] { return frozenNow.load(); };
    }
    void advanceClock(std::chrono::milliseconds by) { frozenNow = frozenNow.load() + by; }

    httplib::Result post(const std::string& path, const GameForm& form) {
        return client->Post(path.c_str(), form.body(), GameForm::kContentType);
    }

    HttpServer::Limits serverLimits;  // set before start
    std::atomic<HttpServer::Clock::time_point> frozenNow{HttpServer::Clock::now()};
    CrashReportStore::Limits crashLimits;
    int newInstallationsPerHour = WebService::kNewInstallationsPerHour;
    std::size_t newInstallationNetworks = HourlyLimit::kNetworks;
    std::filesystem::path folder;
    std::unique_ptr<SqliteScoreStore> scores;
    std::unique_ptr<CrashReportStore> crashes;
    std::unique_ptr<WebService> service;
    std::unique_ptr<httplib::Client> client;
    std::thread thread;
    int port = 0;
};
