// Clients that take their answers slowly, over real connections with small receive
// buffers, on the server's own clock: one that keeps the answers' pace reads every answer
// whole and keeps its place, while one that has stopped reading gives way. The pace is
// four times the service's, so that what takes a minute there takes seconds here; the
// reader keeps a quarter ahead of it, so that a busy machine that wakes it late costs it
// nothing.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "AnswerWriter.h"
#include "HttpServer.h"
#include "support/LoopbackConnection.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kAnswer = 16 * 1024;

// Answers every request with `kAnswer` bytes.
class BulkHandler : public HttpServer::Handler {
public:
    HttpServer::Admission admit(const HttpServer::Request&) override { return {}; }
    HttpServer::Response handle(HttpServer::Request&) override {
        HttpServer::Response response;
        response.contentType = "text/plain";
        response.body = std::string(kAnswer, 'x');
        return response;
    }
};

class SlowReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::signal(SIGPIPE, SIG_IGN);
        limits.connections = 3;  // the reader, one that reads nothing, and one more
        limits.headTime = 2s;
        limits.answer.bytesPerSecond *= 4;
        limits.answer.longestStep *= 4;
        limits.answer.time = 5s;  // far shorter than the answers take at the pace
        server = std::make_unique<HttpServer>(handler, limits);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        thread = std::thread([this] { server->run(); });
    }
    void TearDown() override {
        server->stop();
        thread.join();
    }

    static std::string get(bool close = false) {
        return std::string("GET / HTTP/1.1\r\nHost: x\r\n") + (close ? "Connection: close\r\n" : "") + "\r\n";
    }

    BulkHandler handler;
    HttpServer::Limits limits;
    std::unique_ptr<HttpServer> server;
    std::thread thread;
    int port = 0;
};

// How a connection ended once all it had was read: 0 for an orderly end, else the error;
// -1 when it has not ended within 10 s.
int endOf(int fd) {
    char buffer[4096];
    while (true) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, 10000) != 1) return -1;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) return 0;
        if (n < 0) return errno;
    }
}

// Four answers taken at a quarter over the pace through a receive buffer of 8 KiB, whose
// window reopens in steps seconds apart, take longer than an answer's time, and beside
// them a flood of connections that each send a byte of a head holds every other place at
// the cap: the reader keeps its place through the steps and between its answers, reads
// them all whole, and then the orderly end its last asked for. The client that reads none
// of its answers gives way to the flood within seconds, and is reset.
TEST_F(SlowReaderTest, aClientThatTakesItsAnswersAtThePaceReadsThemWholeBesideAFloodAtTheCap) {
    const int reader = LoopbackConnection{"127.0.0.1", 8 * 1024}.to(port);
    const int stopped = LoopbackConnection{"127.0.0.2", 1024}.to(port);
    ASSERT_GE(reader, 0);
    ASSERT_GE(stopped, 0);
    const std::string requests = get() + get() + get() + get(true);
    ::send(reader, requests.data(), requests.size(), MSG_NOSIGNAL);
    ::send(stopped, requests.data(), requests.size(), MSG_NOSIGNAL);

    std::atomic<bool> flooding = true;
    std::thread flood([&] {
        std::vector<int> heads;
        while (flooding) {
            const int fd = LoopbackConnection{"127.0.0.3"}.to(port);
            if (fd >= 0) ::send(fd, "G", 1, MSG_NOSIGNAL);
            heads.push_back(fd);
            if (heads.size() > 16) {
                ::close(heads.front());
                heads.erase(heads.begin());
            }
            std::this_thread::sleep_for(20ms);
        }
        for (int fd : heads) ::close(fd);
    });

    // Read at the rate from when they were asked, until the end, or for a minute at most.
    const double rate = 1.25 * static_cast<double>(limits.answer.bytesPerSecond);
    std::string taken;
    int end = -1;  // 0 for an orderly end, else the error
    for (const auto begun = Clock::now(); end < 0 && Clock::now() - begun < 60s; std::this_thread::sleep_for(50ms)) {
        const auto due = static_cast<std::size_t>(std::chrono::duration<double>(Clock::now() - begun).count() * rate);
        char buffer[4096];
        while (taken.size() < due) {
            const ssize_t n = ::recv(reader, buffer, std::min(sizeof buffer, due - taken.size()), MSG_DONTWAIT);
            if (n > 0) taken.append(buffer, static_cast<std::size_t>(n));
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) end = n == 0 ? 0 : errno;
            if (n <= 0) break;
        }
    }
    flooding = false;
    flood.join();

    const HttpServer::Response answer = handler.handle(*std::make_unique<HttpServer::Request>());
    const std::string kept = AnswerWriter::serialize(answer, true, false);
    const std::string whole = kept + kept + kept + AnswerWriter::serialize(answer, false, false);
    EXPECT_EQ(taken.size(), whole.size());
    EXPECT_TRUE(taken == whole);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(endOf(stopped), ECONNRESET);
    ::close(reader);
    ::close(stopped);
}

}  // namespace
