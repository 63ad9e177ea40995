// The server short of workers, memory or connection slots: what waits, what is refused,
// and what is dropped. A handler holds its workers at a gate so that the queue can be
// filled at will; every wait is for an event, bounded, never for a length of time.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "HttpServer.h"
#include "support/AcceptFaults.h"
#include "support/LoopbackConnection.h"
#include "support/ServerEnd.h"

namespace {

using namespace std::chrono_literals;

// Admits every request into memory, counting `files` for each, with a claim that notes
// the server's own refusals and refuses a body to "/limited" past 10 bytes; a request
// for "/hold" waits at the gate until it opens, one for "/throw" throws an exception and
// one for "/throw-other" something else; one for "/large" is answered with `kLarge` bytes. With `holdReleases`, a
// claim's end waits at the gate too.
class GatedHandler : public HttpServer::Handler {
public:
    static constexpr std::size_t kLarge = 16 * 1024;

    HttpServer::Admission admit(const HttpServer::Request& head) override {
        HttpServer::Admission admission;
        admission.files = files;
        admission.claim = std::make_shared<NotingClaim>(*this, head.path);
        std::lock_guard lock(mutex_);
        admitted_.push_back(head.path);
        changed_.notify_all();
        return admission;
    }
    HttpServer::Response handle(HttpServer::Request& request) override {
        std::unique_lock lock(mutex_);
        handled_.push_back(request.path);
        changed_.notify_all();
        if (request.path == "/hold") changed_.wait(lock, [this] { return open_; });
        if (request.path == "/throw") throw std::runtime_error("the handler failed");
        if (request.path == "/throw-other") throw 42;
        HttpServer::Response response;
        response.contentType = "text/plain";
        response.body =
            request.path == "/large" ? std::string(kLarge, 'l') : std::to_string(request.body.size()) + "\n";
        return response;
    }

    // Waits until `count` heads have been admitted; false after 10 s.
    bool waitForAdmitted(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return admitted_.size() >= count; });
    }
    bool waitForHandled(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return handled_.size() >= count; });
    }
    // Waits until `count` claims have begun to end; false after 10 s.
    bool waitForEnding(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return endingClaims_ >= count; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void stopping(HttpServer::Clock::time_point deadline) override {
        std::lock_guard lock(mutex_);
        stopDeadlines_.push_back(deadline);
    }
    std::vector<std::string> handled() {
        std::lock_guard lock(mutex_);
        return handled_;
    }
    // The paths of the requests the server refused for its own reasons, in order.
    std::vector<std::string> refusedByServer() {
        std::lock_guard lock(mutex_);
        return refusedByServer_;
    }
    int liveClaims() {
        std::lock_guard lock(mutex_);
        return liveClaims_;
    }
    // The deadlines the server gave at its stops.
    std::vector<HttpServer::Clock::time_point> stopDeadlines() {
        std::lock_guard lock(mutex_);
        return stopDeadlines_;
    }

    std::size_t files = 0;      // set before the server starts
    bool holdReleases = false;  // likewise

private:
    class NotingClaim : public HttpServer::Claim {
    public:
        NotingClaim(GatedHandler& handler, std::string path) : handler_(handler), path_(std::move(path)) {
            std::lock_guard lock(handler_.mutex_);
            ++handler_.liveClaims_;
        }
        ~NotingClaim() override {
            std::unique_lock lock(handler_.mutex_);
            ++handler_.endingClaims_;
            handler_.changed_.notify_all();
            if (handler_.holdReleases) handler_.changed_.wait_for(lock, 10s, [this] { return handler_.open_; });
            --handler_.liveClaims_;
        }
        NotingClaim(const NotingClaim&) = delete;
        NotingClaim& operator=(const NotingClaim&) = delete;
        std::optional<HttpServer::Response> bodyArrived(std::uint64_t bytes) override {
            if (path_ != "/limited" || bytes <= 10) return std::nullopt;
            return HttpServer::refusal(413, "Over 10 bytes.");
        }
        void refusedByServer() override {
            std::lock_guard lock(handler_.mutex_);
            handler_.refusedByServer_.push_back(path_);
        }

    private:
        GatedHandler& handler_;
        std::string path_;
    };

    std::vector<std::string> refusedByServer_;
    int liveClaims_ = 0;
    int endingClaims_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> admitted_;
    std::vector<std::string> handled_;
    std::vector<HttpServer::Clock::time_point> stopDeadlines_;
    bool open_ = false;
};

class BusyServerTest : public ::testing::Test {
protected:
    void SetUp() override { std::signal(SIGPIPE, SIG_IGN); }
    void TearDown() override {
        handler.open();
        if (server) server->stop();
        // A connection whose answer has gone is held until its client closes it.
        for (int fd : open) ::close(fd);
        if (thread.joinable()) thread.join();
    }

    void start() {
        server = std::make_unique<HttpServer>(handler, limits);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        thread = std::thread([this] { server->run(); });
    }
    // The server with one worker, kept busy by a request of the test's own (on `holding`)
    // until the handler opens: the requests that come next wait in the queue.
    void startWithItsOneWorkerBusy() {
        limits.workers = 1;
        ASSERT_NO_FATAL_FAILURE(start());
        holding = connectFrom();
        send(holding, get("/hold"));
        ASSERT_TRUE(handler.waitForHandled(1));
    }

    // A new connection from `source` (in 127.0.0.0/8), closed at the end of the test. What
    // is sent on it goes at once, not held back for the server's acknowledgement: a test
    // moves the server's clock faster than the acknowledgement comes. `receiveBuffer`, when
    // given, is the most the client's side holds of what it has not read.
    int connectFrom(const char* source = "127.0.0.1", int receiveBuffer = 0) {
        const int fd = LoopbackConnection{source, receiveBuffer, true}.to(port);
        if (fd >= 0) open.push_back(fd);
        return fd;
    }
    static void send(int fd, const std::string& bytes) { ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    static std::string get(const std::string& path) { return "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n"; }
    static std::string post(std::size_t length, const std::string& path = "/upload") {
        return "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
    }

    // What arrives on `fd` until one whole answer is in, the connection ends, or 10 s pass.
    static std::string answerOn(int fd) {
        std::string answer;
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < end) {
            const std::size_t headEnd = answer.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                const std::size_t length = answer.find("Content-Length: ");
                if (length != std::string::npos &&
                    answer.size() >= headEnd + 4 + std::stoul(answer.substr(length + 16)))
                    break;
            }
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 100) != 1) continue;
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            answer.append(buffer, static_cast<std::size_t>(n));
        }
        return answer;
    }
    // True when the server closes `fd` without an answer within 10 s.
    static bool closedAtOnce(int fd) {
        pollfd readable{fd, POLLIN, 0};
        char c = 0;
        return ::poll(&readable, 1, 10000) == 1 && ::recv(fd, &c, 1, 0) <= 0;
    }
    // An eighth of the files the server may open (it raises its limit to the hard one):
    // handlers' files may take a quarter, so a request counted for that many fits once,
    // not twice.
    static std::size_t eighthOfTheFiles() {
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        return static_cast<std::size_t>(std::min<rlim_t>(files.rlim_max, 1 << 20) / 8);
    }
    // Closes `fd` with a reset rather than a FIN, as a client that vanishes does.
    void reset(int fd) {
        const linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(fd);
        std::erase(open, fd);
    }

    GatedHandler handler;
    HttpServer::Limits limits;
    std::unique_ptr<HttpServer> server;
    std::thread thread;
    std::vector<int> open;
    int port = 0;
    int holding = -1;
};

// The request of a client that resets its connection while the request waits for a worker
// is dropped, its claim with it, and the worker goes on to the next.
TEST_F(BusyServerTest, aRequestWhoseClientHasGoneIsDroppedUnrun) {
    ASSERT_NO_FATAL_FAILURE(startWithItsOneWorkerBusy());
    const int gone = connectFrom();
    send(gone, get("/gone"));
    ASSERT_TRUE(handler.waitForAdmitted(2));
    reset(gone);
    ASSERT_TRUE(handler.waitForEnding(1));
    const int after = connectFrom();
    send(after, get("/after"));
    ASSERT_TRUE(handler.waitForAdmitted(3));
    handler.open();
    EXPECT_TRUE(answerOn(holding).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(answerOn(after).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(handler.handled(), (std::vector<std::string>{"/hold", "/after"}));
}

// A handler that throws, whatever it throws, fails its request with 500 as a fault of the
// server's own, which its claim hears of, and the log says which request failed and why;
// the worker serves the next request.
TEST_F(BusyServerTest, aRequestWhoseHandlerThrowsIsAnsweredWith500AsTheServersOwnRefusal) {
    limits.workers = 1;
    start();
    testing::internal::CaptureStderr();
    for (const std::string path : {"/throw", "/throw-other"}) {
        const int failing = connectFrom();
        send(failing, get(path));
        const std::string failed = answerOn(failing);
        EXPECT_TRUE(failed.starts_with("HTTP/1.1 500 Internal Server Error\r\n")) << path << failed;
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("a request for /throw failed: the handler failed\n"), std::string::npos) << log;
    EXPECT_NE(log.find("a request for /throw-other failed: it threw something other than an exception\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(handler.refusedByServer(), (std::vector<std::string>{"/throw", "/throw-other"}));
    const int after = connectFrom();
    send(after, get("/after"));
    EXPECT_TRUE(answerOn(after).starts_with("HTTP/1.1 200 OK\r\n"));
}

// The queue is full with two waiting: a third is told to come back, and the two waiting
// are answered once the worker is free, in the order they were queued. Requests sent on
// two connections at once have no order the server could keep, so the second is sent
// only once the first is admitted (the server queues it before it reads anything more).
TEST_F(BusyServerTest, aRequestOverTheQueueBoundIsToldToRetryAndTheQueuedOnesAreServed) {
    limits.queuedRequests = 2;
    ASSERT_NO_FATAL_FAILURE(startWithItsOneWorkerBusy());
    const int first = connectFrom(), second = connectFrom(), third = connectFrom();
    send(first, get("/first"));
    ASSERT_TRUE(handler.waitForAdmitted(2));
    send(second, get("/second"));
    ASSERT_TRUE(handler.waitForAdmitted(3));
    send(third, get("/third"));
    const std::string refused = answerOn(third);
    EXPECT_TRUE(refused.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << refused;
    EXPECT_NE(refused.find("\r\nRetry-After: 1\r\n"), std::string::npos) << refused;
    const std::string body = refused.substr(refused.find("\r\n\r\n") + 4);
    EXPECT_TRUE(!body.empty() && body.find('\n') == body.size() - 1) << body;

    handler.open();
    for (int fd : {holding, first, second}) EXPECT_TRUE(answerOn(fd).starts_with("HTTP/1.1 200 OK\r\n"));
    const int again = connectFrom();
    send(again, get("/third"));
    EXPECT_TRUE(answerOn(again).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(handler.handled(), (std::vector<std::string>{"/hold", "/first", "/second", "/third"}));
}

// A stop ends the run once the requests on workers are answered: their clients hear the
// answer, on a connection that then closes, and nothing more of theirs is taken; those
// still queued are not run, however many there are, and are told to come back.
TEST_F(BusyServerTest, aStopAnswersTheRequestsOnWorkersAndRunsNoneOfTheBacklog) {
    ASSERT_NO_FATAL_FAILURE(startWithItsOneWorkerBusy());
    send(holding, get("/pipelined"));
    std::vector<int> queued;
    for (int i = 0; i < 20; ++i) {
        queued.push_back(connectFrom());
        send(queued.back(), get("/queued"));
    }
    ASSERT_TRUE(handler.waitForAdmitted(21));
    const int halfway = connectFrom();
    send(halfway, "GET /halfway HTTP/1.1\r\n");
    server->stop();
    handler.open();
    const std::string held = answerOn(holding);
    EXPECT_TRUE(held.starts_with("HTTP/1.1 200 OK\r\n")) << held;
    EXPECT_NE(held.find("\r\nConnection: close\r\n"), std::string::npos) << held;
    EXPECT_TRUE(closedAtOnce(holding));
    for (int fd : queued) {
        const std::string later = answerOn(fd);
        EXPECT_TRUE(later.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << later;
        EXPECT_NE(later.find("\r\nRetry-After: 1\r\n"), std::string::npos) << later;
    }
    EXPECT_TRUE(closedAtOnce(halfway));
    EXPECT_EQ(handler.handled(), std::vector<std::string>{"/hold"});
}

// The loop turned by hand on a clock the test steps, with no workers: the test runs the
// queued requests itself.
class HandTurnedServerTest : public BusyServerTest {
protected:
    void startByHand() {
        limits.workers = 0;
        limits.clock = [this] { return clock; };
        server = std::make_unique<HttpServer>(handler, limits);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        ASSERT_TRUE(server->start());
    }
    void TearDown() override {
        handler.open();
        if (worker.joinable()) worker.join();
        BusyServerTest::TearDown();
    }
    // A few turns: one accepts a connection, the next reads what it sent.
    void turn() {
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(server->turn(0ms));
    }
    // A request for "/hold" on a new connection, which `worker` takes and holds at the
    // handler's gate until it opens; the connection.
    int holdOnAWorker() {
        const int held = connectFrom();
        send(held, get("/hold"));
        turn();
        EXPECT_TRUE(handler.waitForAdmitted(1));
        worker = std::thread([this] { server->workOne(); });
        EXPECT_TRUE(handler.waitForHandled(1));
        return held;
    }
    // What has arrived on `fd`, without waiting.
    static std::string arrived(int fd) {
        std::string bytes;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            bytes.append(buffer, static_cast<std::size_t>(n));
        return bytes;
    }

    // Runs the requests waiting, and sends their answers, until none is left.
    void workAll() {
        for (int i = 0; i < 1000 && server->workOne(); ++i) turn();
    }
    // How the connection on `fd` ends, once what came before is read: 0 for an orderly
    // end, else the error (ECONNRESET for a reset); -1 when it has not ended within 5 s.
    static int endOf(int fd) {
        char buffer[4096];
        for (int i = 0; i < 50; ++i) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 100) != 1) continue;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n == 0) return 0;
            if (n < 0) return errno;
        }
        return -1;
    }

    HttpServer::Clock::time_point clock{};
    std::thread worker;  // a worker of the test's own, for the loop turned by hand
};

// An answer done before the stop is still sent; one whose client does not take it
// holds the end of the run only 2 s of the clock from when the stop was asked, however
// late the loop takes it up; a request still queued is not run.
TEST_F(HandTurnedServerTest, aStopSendsTheAnswersDoneAndEndsTwoSecondsLaterAtMost) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int done = connectFrom(), waiting = connectFrom();
    send(done, get("/done"));
    turn();
    send(waiting, get("/waiting"));
    turn();
    ASSERT_TRUE(handler.waitForAdmitted(2));
    ASSERT_TRUE(server->workOne());
    server->stop();
    EXPECT_FALSE(server->workOne());
    clock += 500ms;
    turn();
    const std::string answer = arrived(done);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nConnection: close\r\n"), std::string::npos) << answer;
    EXPECT_TRUE(arrived(waiting).starts_with("HTTP/1.1 503 Service Unavailable\r\n"));
    EXPECT_LT(connectFrom(), 0);

    clock += 1400ms;
    turn();
    EXPECT_FALSE(server->over());
    clock += 200ms;
    turn();
    EXPECT_TRUE(server->over());
    EXPECT_EQ(handler.handled(), std::vector<std::string>{"/done"});
}

// A stop tells the handler, once, by when the requests on workers must be answered; a
// connection whose request a worker still holds at the stop's end is closed then, without
// its answer, so that a handler that keeps its worker cannot hold the connections open.
TEST_F(HandTurnedServerTest, aStopClosesAConnectionWhoseRequestIsStillOnAWorkerAtItsEnd) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int held = holdOnAWorker();
    const HttpServer::Clock::time_point stopped = clock;
    server->stop();
    server->stop();
    turn();
    clock += 1900ms;
    turn();
    EXPECT_FALSE(server->over());
    clock += 200ms;
    turn();
    EXPECT_TRUE(server->over());
    EXPECT_TRUE(closedAtOnce(held));
    handler.open();
    worker.join();
    const std::vector<HttpServer::Clock::time_point> deadlines = handler.stopDeadlines();
    ASSERT_EQ(deadlines.size(), 1u);
    EXPECT_EQ(deadlines[0], stopped + HttpServer::kStopAnswerTime);  // on the server's clock, as the stop's end
}

// An answer that comes during a stop is sent, and its connection then read out until the
// stop's end only, not for the time a connection is read out after an answer.
TEST_F(HandTurnedServerTest, anAnswerDuringAStopIsReadOutOnlyUntilTheStopsEnd) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int held = holdOnAWorker();
    server->stop();
    turn();
    clock += 1500ms;
    handler.open();
    worker.join();
    turn();
    const std::string answer = arrived(held);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nConnection: close\r\n"), std::string::npos) << answer;
    clock += 400ms;
    turn();
    EXPECT_FALSE(server->over());
    clock += 200ms;
    turn();
    EXPECT_TRUE(server->over());
}

// A silent connection's deadline runs on the server's clock, not the wall's.
TEST_F(HandTurnedServerTest, deadlinesFollowTheServersClock) {
    limits.headTime = 5s;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int slow = connectFrom();
    send(slow, "GET / HTTP/1.1\r\n");
    turn();
    clock += 4900ms;
    turn();
    EXPECT_EQ(arrived(slow), "");
    clock += 200ms;
    turn();
    EXPECT_TRUE(arrived(slow).starts_with("HTTP/1.1 408 Request Timeout\r\n"));
}

// A body that stops coming is cut off once it has been silent for its rules' silence,
// however long its own deadline, and gives its room back.
TEST_F(HandTurnedServerTest, aBodyThatFallsSilentIsCutOffAndGivesItsRoomBack) {
    limits.body.silence = 2s;
    limits.body.time = 60s;
    limits.bodyMemory = 100 * 1024;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int silent = connectFrom();
    send(silent, post(80 * 1024) + std::string(64 * 1024, 'x'));
    turn();
    clock += 1900ms;
    turn();
    EXPECT_EQ(arrived(silent), "");
    clock += 200ms;
    turn();
    const std::string cutOff = arrived(silent);
    EXPECT_TRUE(cutOff.starts_with("HTTP/1.1 408 Request Timeout\r\n")) << cutOff;
    EXPECT_NE(cutOff.find("\r\nConnection: close\r\n"), std::string::npos) << cutOff;
    const int next = connectFrom();
    send(next, post(80 * 1024) + std::string(80 * 1024, 'x'));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(next).ends_with("\r\n\r\n81920\n"));
}

// Bodies held in memory share a budget, taken in pieces as their bytes come: heads that
// announce large bodies and send a byte each hold little of it, so that a body sent whole
// beside them is taken. A head that announces more than the room left now is told to
// retry at once; a body whose bytes run out of room as they come is told so then; and the
// room comes back as the bodies that held it go.
TEST_F(HandTurnedServerTest, bodiesInMemoryTakeTheirBudgetAsTheirBytesCome) {
    limits.bodyMemory = 256 * 1024;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    for (int i = 0; i < 8; ++i) send(connectFrom(), post(64 * 1024) + "x");
    turn();
    turn();
    const int whole = connectFrom();
    send(whole, post(64 * 1024) + std::string(64 * 1024, 'w'));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(whole).ends_with("\r\n\r\n65536\n"));

    const int large = connectFrom();
    send(large, post(120 * 1024) + std::string(80 * 1024, 'l'));
    turn();
    const int refused = connectFrom();
    send(refused, post(64 * 1024));
    turn();
    const std::string answer = arrived(refused);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nRetry-After: 1\r\n"), std::string::npos) << answer;
    // Takes the last of the room, and waits for a worker.
    const int fitting = connectFrom();
    send(fitting, post(48 * 1024) + std::string(48 * 1024, 'f'));
    turn();
    send(large, std::string(40 * 1024, 'l'));
    turn();
    EXPECT_TRUE(arrived(large).starts_with("HTTP/1.1 503 Service Unavailable\r\n"));
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(fitting).ends_with("\r\n\r\n49152\n"));

    const int later = connectFrom();
    send(later, post(120 * 1024) + std::string(120 * 1024, 'l'));
    turn();
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(later).ends_with("\r\n\r\n122880\n"));
}

// A body is cut off with 408 once it has been silent for its rules' silence, or,
// once its grace is over, when its bytes have come at under the least rate on average
// since its head, or when it has fallen behind the pace its deadline asks of it (64 KiB
// have 32 s: 2 KiB a second) by more than its grace and a second per 32 KiB it has sent.
// One a little behind its pace after a stall is taken.
TEST_F(HandTurnedServerTest, aBodyIsCutOffWhenSilentUnderTheLeastRateOrTooFarBehindItsPace) {
    limits.body.silence = 8s;
    limits.body.grace = 10s;
    limits.body.leastRate = 500;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int silent = connectFrom(), slow = connectFrom(), behind = connectFrom(), steady = connectFrom();
    send(silent, post(64 * 1024) + std::string(6000, 's'));
    send(slow, post(64 * 1024) + "s");
    send(behind, post(64 * 1024) + std::string(5000, 's'));
    send(steady, post(64 * 1024) + std::string(5000, 's'));
    turn();
    clock += 5s;
    send(slow, std::string(200, 's'));
    send(behind, std::string(1000, 's'));
    send(steady, std::string(20000, 's'));  // 25,000 bytes are on the pace until 12.2 s
    turn();
    clock += 2900ms;
    turn();
    for (int fd : {silent, slow, behind, steady}) EXPECT_EQ(arrived(fd), "");
    clock += 200ms;  // 8.1 s
    turn();
    EXPECT_TRUE(arrived(silent).starts_with("HTTP/1.1 408 Request Timeout\r\n"));
    clock += 1800ms;                       // 9.9 s
    send(behind, std::string(1000, 's'));  // 7,000 bytes keep the least rate until 14 s
    turn();
    EXPECT_EQ(arrived(slow), "");
    clock += 200ms;  // 10.1 s
    turn();
    EXPECT_TRUE(arrived(slow).starts_with("HTTP/1.1 408 Request Timeout\r\n"));
    clock += 2400ms;  // 12.5 s: a stall has put the steady one behind its pace
    turn();
    EXPECT_EQ(arrived(behind), "");
    EXPECT_EQ(arrived(steady), "");
    send(steady, std::string(64 * 1024 - 25000, 's'));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(steady).ends_with("\r\n\r\n65536\n"));
    // 7,000 bytes pay for 3.4 s at the pace, and allow 10.2 s behind it.
    clock += 1000ms;  // 13.5 s
    turn();
    EXPECT_EQ(arrived(behind), "");
    clock += 200ms;  // 13.7 s
    turn();
    EXPECT_TRUE(arrived(behind).starts_with("HTTP/1.1 408 Request Timeout\r\n"));
}

// A small body whose pace is under the least rate is held as long as it keeps that pace:
// 8 KiB have 30.25 s, 271 bytes a second, and come at 400.
TEST_F(HandTurnedServerTest, aSmallBodyAheadOfItsPaceIsTakenThoughUnderTheLeastRate) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int small = connectFrom();
    send(small, post(8 * 1024));
    turn();
    for (int second = 1; second <= 20; ++second) {
        clock += 1s;
        send(small, std::string(400, 's'));
        turn();
        ASSERT_EQ(arrived(small), "") << second;
    }
    send(small, std::string(8 * 1024 - 8000, 's'));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(small).ends_with("\r\n\r\n8192\n"));
}

// With every place taken, a new connection takes the place of one that only waits
// (idle between requests), else of a new one that has sent nothing, else of a body that
// has fallen a third of its allowance behind its pace, the first to fall so far first,
// else of a head at once, the one begun longest ago first, however little of the head's
// time it has used. One that was reading a request, or about to, is pushed out for want
// of room and hears 503 with Retry-After, as a newcomer turned away does; its claim is not
// told otherwise. A waiting one is closed without a word. A newcomer for whom nobody
// gives way (bodies on their pace hold every place) is turned away with 503.
TEST_F(HandTurnedServerTest, atTheCapANewConnectionTakesThePlaceOfAnIdleOneAnEmptyOneABodyOffItsPaceOrAHead) {
    limits.connections = 3;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    // Whether the server has closed `fd`, answered on it, or left it open, without waiting.
    const auto seen = [](int fd) {
        char c = 0;
        const ssize_t n = ::recv(fd, &c, 1, MSG_DONTWAIT | MSG_PEEK);
        return n == 0 ? std::string("closed") : n > 0 ? std::string("answered") : std::string("open");
    };
    const auto pushedOut = [](const std::string& answer) {
        return answer.starts_with("HTTP/1.1 503 Service Unavailable\r\n") &&
               answer.find("\r\nRetry-After: 1\r\n") != std::string::npos;
    };
    const int ahead = connectFrom(), trickle = connectFrom();
    send(ahead, post(64 * 1024, "/ahead") + std::string(40000, 'a'));  // off its pace at 23.3 s
    send(trickle, post(64 * 1024, "/trickle") + "t");                  // at 3.33 s
    turn();
    clock += 1s;
    const int slowHead = connectFrom();
    send(slowHead, "GET /slow HTTP/1.1\r\n");
    turn();
    clock += 500ms;
    send(trickle, std::string(100, 't'));  // now off its pace at 3.38 s
    turn();
    clock += 500ms;  // 2 s
    const int first = connectFrom();
    turn();
    EXPECT_TRUE(pushedOut(arrived(slowHead)));
    EXPECT_EQ(seen(slowHead), "closed");
    send(first, get("/first"));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(first).starts_with("HTTP/1.1 200 OK\r\n"));
    // A connection idle between requests goes before those reading one.
    const int second = connectFrom();
    turn();
    EXPECT_EQ(seen(first), "closed");
    clock += 1500ms;  // 3.5 s: the trickle is off its pace, but `second` has sent nothing
    const int third = connectFrom();
    turn();
    EXPECT_TRUE(pushedOut(arrived(second)));
    EXPECT_EQ(seen(trickle), "open");
    send(third, post(64 * 1024, "/third") + "3");
    turn();
    const int fourth = connectFrom();
    turn();
    EXPECT_TRUE(pushedOut(arrived(trickle)));
    send(fourth, post(64 * 1024, "/fourth") + "4");
    turn();
    // Every place is held by a body on its pace.
    const int fifth = connectFrom();
    turn();
    EXPECT_TRUE(pushedOut(arrived(fifth)));
    for (int fd : {ahead, third, fourth}) EXPECT_EQ(seen(fd), "open") << fd;
    EXPECT_TRUE(handler.refusedByServer().empty());
}

// A head that came with its connection is read as the connection is taken, so that a
// newcomer taken right after it, in the same turn, finds a request being handled there,
// not an empty head whose place it may take.
TEST_F(HandTurnedServerTest, aHeadThatCameWithItsConnectionIsReadBeforeTheNextNewcomerIsTaken) {
    limits.connections = 2;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int body = connectFrom();
    send(body, post(64 * 1024, "/body") + "b");  // on its pace for 3.3 s
    turn();
    const int honest = connectFrom();
    send(honest, get("/honest"));
    const int empty = connectFrom();
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    const std::string answer = arrived(honest);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    EXPECT_TRUE(arrived(empty).starts_with("HTTP/1.1 503 Service Unavailable\r\n"));
}

// A body that keeps its pace keeps its place at the cap however many silent connections
// come meanwhile: one sent in pieces of 1 KiB, each 0.4 s behind its pace by the time the
// next comes, and one that waits out the round trip of 100 Continue and then catches up.
// The silent ones take each other's places at once, the oldest first.
TEST_F(HandTurnedServerTest, bodiesThatKeepTheirPaceKeepTheirPlacesBesideAnIdleFloodAtTheCap) {
    limits.connections = 4;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int pieces = connectFrom(), continued = connectFrom();
    send(pieces, post(64 * 1024, "/pieces"));
    send(continued, "POST /continued HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: 65536\r\n\r\n");
    turn();
    // 64 KiB are due in 32 s: 1 KiB every 0.5 s.
    const std::string piece(1024, 'p');
    for (int round = 1; round < 320; ++round) {
        clock += 100ms;
        if (round % 5 == 4) send(pieces, piece);
        if (round == 10) send(continued, piece + piece);
        if (round > 10 && round % 5 == 4) send(continued, piece);
        connectFrom();
        turn();
    }
    ASSERT_TRUE(server->workOne());
    ASSERT_TRUE(server->workOne());
    turn();
    const std::string p = arrived(pieces);
    EXPECT_TRUE(p.ends_with("\r\n\r\n65536\n")) << p;
    const std::string answers = arrived(continued);
    EXPECT_TRUE(answers.starts_with("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n")) << answers;
    EXPECT_TRUE(answers.ends_with("\r\n\r\n65536\n")) << answers;
}

// A client turned away at the cap, or turned out of its place, reads why even when it
// sends more after its connection was closed (which resets it): its input was read
// before the close, and the status went ahead of the reset.
TEST_F(HandTurnedServerTest, aClientTurnedAwayOrOutAtTheCapReadsWhyAfterSendingMore) {
    limits.connections = 1;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int trickle = connectFrom();
    send(trickle, post(64 * 1024, "/trickle") + "t");
    turn();
    const int refused = connectFrom();
    turn();
    send(refused, get("/refused"));
    const std::string busy = answerOn(refused);
    EXPECT_TRUE(busy.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << busy;
    EXPECT_NE(busy.find("\r\nRetry-After: 1\r\n"), std::string::npos) << busy;
    clock += 5100ms;
    connectFrom();
    turn();
    send(trickle, std::string(16 * 1024, 't'));
    const std::string pushedOut = answerOn(trickle);
    EXPECT_TRUE(pushedOut.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << pushedOut;
    EXPECT_NE(pushedOut.find("\r\nConnection: close\r\n"), std::string::npos) << pushedOut;
}

// A request sent behind another and begun when the answer before it goes out is placed as
// any other: its body too gives way once it has used a third of its allowance.
TEST_F(HandTurnedServerTest, aPipelinedBodyBegunAsTheAnswerBeforeItGoesOutGivesWayAsAnyOther) {
    limits.connections = 1;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int pipelined = connectFrom();
    send(pipelined, get("/first") + post(64 * 1024, "/second") + "s");
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    clock += 5100ms;
    const int newcomer = connectFrom();
    turn();
    const std::string answers = arrived(pipelined);
    EXPECT_TRUE(answers.starts_with("HTTP/1.1 200 OK\r\n")) << answers;
    EXPECT_NE(answers.find("HTTP/1.1 503 Service Unavailable\r\n"), std::string::npos) << answers;
    send(newcomer, get("/new"));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(newcomer).starts_with("HTTP/1.1 200 OK\r\n"));
}

// A client that pipelines requests and leaves their answers unread has no further request
// taken once the kernel holds a little of its answers unsent, so that they cannot pile up
// in the host's memory: of a thousand answers of 16 KiB, a few are made. Nor is more of
// what it sent read than a few KiB beyond the requests taken: the rest waits in the
// kernel, which has acknowledged it all.
TEST_F(HandTurnedServerTest, aClientThatLeavesItsAnswersUnreadHasNoFurtherRequestTakenNorRead) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int unread = connectFrom("127.0.0.1", 1024);
    std::string requests;
    for (int i = 0; i < 1000; ++i) requests += get("/large");
    send(unread, requests);
    for (int i = 0; i < 1000 && ServerEnd::unacknowledged(unread) > 0; ++i) std::this_thread::sleep_for(10ms);
    turn();
    workAll();
    EXPECT_LE(handler.handled().size(), 4u);
    const std::size_t read = requests.size() - static_cast<std::size_t>(ServerEnd::unread(ServerEnd::of(unread)));
    EXPECT_LE(read, handler.handled().size() * get("/large").size() + 4096);
}

// A head on its way over a slow link keeps its place at the cap however many connections
// come meanwhile that send nothing: each takes the place of the oldest of them, which
// hears 503 with Retry-After, as a newcomer turned away does.
TEST_F(HandTurnedServerTest, aHeadOnItsWayKeepsItsPlaceBesideAFloodOfEmptyConnections) {
    limits.connections = 3;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int split = connectFrom();
    const std::string request = post(10, "/split") + "0123456789";
    send(split, request.substr(0, 20));
    turn();
    std::vector<int> flood;
    for (int i = 0; i < 1000; ++i) {
        if (i % 100 == 50) send(split, request.substr(20 + i / 100, 1));
        clock += 1ms;
        flood.push_back(connectFrom());
        turn();
    }
    send(split, request.substr(30));
    turn();
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(split).ends_with("\r\n\r\n10\n"));
    for (std::size_t i = 0; i + 2 < flood.size(); ++i) {
        const std::string heard = arrived(flood[i]);
        EXPECT_TRUE(heard.starts_with("HTTP/1.1 503 Service Unavailable\r\n") &&
                    heard.find("\r\nRetry-After: 1\r\n") != std::string::npos)
            << i << ": " << heard;
    }
}

// An answer whose client has stopped taking it gives way at the cap once what its window
// took would have been read at the answers' pace and the slack has passed (and never
// sooner than its patience after), and is reset, so that the kernel drops what it holds
// for it; until then a newcomer is turned away. The clock moves only once the kernels have
// done with what was sent, and after a round in which the server has looked at it.
TEST_F(HandTurnedServerTest, anAnswerGivesWayAtTheCapOnceItsClientHasStoppedTakingIt) {
    limits.connections = 1;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int unread = connectFrom("127.0.0.1", 1024);
    send(unread, get("/large") + get("/large") + get("/large"));
    turn();
    workAll();
    const int end = ServerEnd::of(unread);
    ASSERT_GE(end, 0);
    for (int i = 0; i < 1000 && (ServerEnd::unread(unread) == 0 || ServerEnd::inFlight(end) > 0); ++i)
        std::this_thread::sleep_for(10ms);
    const int window = ServerEnd::unread(unread);
    ASSERT_GT(window, 0);
    clock += 100ms;
    turn();
    const auto paidFor = std::chrono::milliseconds(window * 1000 / static_cast<int>(limits.answer.bytesPerSecond));
    const auto point = std::max<HttpServer::Clock::duration>(limits.answer.patience, paidFor + limits.answer.slack);
    clock += point - 200ms;
    const int early = connectFrom();
    turn();
    EXPECT_TRUE(arrived(early).starts_with("HTTP/1.1 503 "));
    clock += 300ms;
    const int newcomer = connectFrom();
    turn();
    send(newcomer, get("/new"));
    turn();
    workAll();
    EXPECT_TRUE(arrived(newcomer).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(endOf(unread), ECONNRESET);
}

// A connection closed at a deadline is reset where its client has stopped taking its
// answers (at its answers' deadline, say, which grows with what it is owed: here three
// answers of 16 KiB at most, a second for every KiB beyond the answers' time): the
// kernel drops what it holds for it at once instead of trying to deliver it long after
// the close. One whose client has only its last status left to read (a head cut off with
// 408) reads it, then the orderly end.
TEST_F(HandTurnedServerTest, aConnectionClosedAtADeadlineIsResetOnlyWhereItsClientStoppedReading) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int unread = connectFrom("127.0.0.1", 1024), slowHead = connectFrom();
    send(unread, get("/large") + get("/large") + get("/large"));
    send(slowHead, "GET /slow HTTP/1.1\r\n");
    turn();
    workAll();
    clock += limits.headTime + 200ms;
    turn();
    clock += 3s;  // the 408's connection is read out for 2 s
    turn();
    EXPECT_TRUE(arrived(slowHead).starts_with("HTTP/1.1 408 Request Timeout\r\n"));
    EXPECT_EQ(endOf(slowHead), 0);
    clock += limits.answer.time + 50s;
    turn();
    EXPECT_EQ(endOf(unread), ECONNRESET);
}

// Requests whose files fill the share of the open files they may take hold it only while
// their bodies keep up: once one has used a third of its allowance, a new request that needs
// files takes its place (the one pushed out is told to retry); before that the newcomer is
// told to retry, as for the server's want of room.
TEST_F(HandTurnedServerTest, aRequestShortOfFilesTakesThePlaceOfABodyHoldingThemOnceItFallsBehind) {
    handler.files = eighthOfTheFiles();
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int slow = connectFrom();
    send(slow, post(64 * 1024, "/slow") + "s");
    turn();
    clock += 3200ms;
    const int early = connectFrom();
    send(early, post(10, "/early") + "0123456789");
    turn();
    EXPECT_TRUE(arrived(early).starts_with("HTTP/1.1 503 Service Unavailable\r\n"));
    clock += 200ms;
    const int honest = connectFrom();
    send(honest, post(10, "/honest") + "0123456789");
    turn();
    EXPECT_TRUE(arrived(slow).starts_with("HTTP/1.1 503 Service Unavailable\r\n"));
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(honest).ends_with("\r\n\r\n10\n"));
    EXPECT_EQ(handler.refusedByServer(), std::vector<std::string>{"/early"});
}

// A request's claim hears of the refusals the server decides for its own reasons (a full
// queue, a stop, with the request queued or its body on its way), not of what its client
// did (a body left to lapse, a reset); it is told how much of the body has come, and its
// refusal ends the request. No claim outlives its request.
TEST_F(HandTurnedServerTest, aClaimHearsOfTheServersOwnRefusalsOnly) {
    limits.queuedRequests = 1;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int lapsed = connectFrom();
    send(lapsed, post(100, "/lapsed") + "x");
    turn();
    clock += limits.headTime + 200ms;
    turn();
    EXPECT_TRUE(arrived(lapsed).starts_with("HTTP/1.1 408 "));
    const int limited = connectFrom();
    send(limited, post(100, "/limited") + "0123456789");
    turn();
    EXPECT_EQ(arrived(limited), "");
    send(limited, "a");
    turn();
    EXPECT_TRUE(arrived(limited).starts_with("HTTP/1.1 413 "));

    const int queued = connectFrom(), full = connectFrom(), gone = connectFrom(), midway = connectFrom();
    send(queued, get("/queued"));
    turn();
    send(full, get("/full"));
    send(gone, post(100, "/gone") + "x");
    turn();
    EXPECT_TRUE(arrived(full).starts_with("HTTP/1.1 503 "));
    reset(gone);
    send(midway, post(100, "/midway") + "x");
    turn();
    server->stop();
    turn();
    EXPECT_TRUE(arrived(queued).starts_with("HTTP/1.1 503 "));
    EXPECT_EQ(handler.refusedByServer(), (std::vector<std::string>{"/full", "/queued", "/midway"}));
    EXPECT_EQ(handler.liveClaims(), 0);
}

// All that a request holds is given back before its answer is handed on to be sent, so
// that its client, asking again as soon as it is answered, finds its claim and room free.
// The claim's end is held at the gate meanwhile: an answer handed on before it would be
// sent by the turns of the loop, and the body's room must already be back.
TEST_F(HandTurnedServerTest, aRequestGivesBackWhatItHoldsBeforeItsAnswerGoesOut) {
    limits.bodyMemory = 16 * 1024;
    handler.holdReleases = true;
    ASSERT_NO_FATAL_FAILURE(startByHand());
    const int first = connectFrom();
    send(first, post(16 * 1024) + std::string(16 * 1024, 'f'));
    turn();
    ASSERT_TRUE(handler.waitForAdmitted(1));
    worker = std::thread([this] { server->workOne(); });
    ASSERT_TRUE(handler.waitForEnding(1));
    const int next = connectFrom();
    send(next, post(16 * 1024) + std::string(16 * 1024, 'n'));
    turn();
    EXPECT_EQ(arrived(first), "");
    EXPECT_EQ(arrived(next), "");  // taken, not refused for want of room
    handler.open();
    worker.join();
    turn();
    EXPECT_TRUE(arrived(first).ends_with("\r\n\r\n16384\n"));
    ASSERT_TRUE(server->workOne());
    turn();
    EXPECT_TRUE(arrived(next).ends_with("\r\n\r\n16384\n"));
}

// The files a handler may open are counted from its request's head until it is done: a
// request whose files would take the open-file budget past its end is told to retry, and
// the files come back once the request that held them is answered.
TEST_F(BusyServerTest, aRequestWhoseFilesDoNotFitIsToldToRetryUntilTheyAreGivenBack) {
    handler.files = eighthOfTheFiles();
    ASSERT_NO_FATAL_FAILURE(startWithItsOneWorkerBusy());
    const int refused = connectFrom();
    send(refused, get("/refused"));
    const std::string answer = answerOn(refused);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nRetry-After: 1\r\n"), std::string::npos) << answer;
    handler.open();
    EXPECT_TRUE(answerOn(holding).starts_with("HTTP/1.1 200 OK\r\n"));
    const int later = connectFrom();
    send(later, get("/later"));
    EXPECT_TRUE(answerOn(later).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(handler.handled(), (std::vector<std::string>{"/hold", "/later"}));
}

// An accept that fails leaves the client waiting and the listening socket readable:
// short of descriptors or of the kernel's memory alike, the server pauses accepting until
// its next round of deadlines (every 100 ms of its clock) instead of trying again at once,
// and takes the client once accepts succeed again. While the clock stands still, a loop
// that spun would try again at every turn.
TEST_F(HandTurnedServerTest, anAcceptThatFailsPausesAcceptingInsteadOfSpinning) {
    ASSERT_NO_FATAL_FAILURE(startByHand());
    for (const int error : {EMFILE, ENFILE, ENOBUFS, ENOMEM}) {
        AcceptFaults::failWith(error);
        const int waiting = connectFrom();
        turn();
        const long tried = AcceptFaults::failures();
        EXPECT_GE(tried, 1) << error;
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(server->turn(0ms));
        EXPECT_EQ(AcceptFaults::failures(), tried) << error;
        AcceptFaults::failWith(0);
        clock += 100ms;
        send(waiting, get("/after"));
        turn();
        ASSERT_TRUE(server->workOne()) << error;
        turn();
        EXPECT_TRUE(arrived(waiting).starts_with("HTTP/1.1 200 OK\r\n")) << error;
    }
}

// One address may hold only so many connections; those over it are told so and closed
// at once, and other addresses are served meanwhile.
TEST_F(BusyServerTest, connectionsOverTheirAddressLimitAreTurnedAwayWhileOthersAreServed) {
    limits.connectionsPerAddress = 3;
    start();
    std::vector<int> flood;
    for (int i = 0; i < 5; ++i) flood.push_back(connectFrom("127.0.0.2"));
    for (int fd : {flood[3], flood[4]}) {
        const std::string refused = answerOn(fd);
        EXPECT_TRUE(refused.starts_with("HTTP/1.1 429 Too Many Requests\r\n")) << refused;
        EXPECT_NE(refused.find("\r\nConnection: close\r\n"), std::string::npos) << refused;
        EXPECT_TRUE(closedAtOnce(fd));
    }
    const int other = connectFrom("127.0.0.3");
    send(other, get("/other"));
    EXPECT_TRUE(answerOn(other).starts_with("HTTP/1.1 200 OK\r\n"));
    for (int i = 0; i < 3; ++i) {
        send(flood[i], get("/flood"));
        EXPECT_TRUE(answerOn(flood[i]).starts_with("HTTP/1.1 200 OK\r\n")) << i;
    }
    // A closed connection gives its slot back to its address.
    reset(flood[0]);
    int again = -1;
    for (int attempt = 0; attempt < 100 && again < 0; ++attempt) {
        const int fd = connectFrom("127.0.0.2");
        send(fd, get("/again"));
        if (answerOn(fd).starts_with("HTTP/1.1 200 OK\r\n")) again = fd;
    }
    EXPECT_GE(again, 0);
}

// When the slots run short, a new connection takes the slot of the longest-idle
// connection between requests, and those in the middle of a request keep theirs.
TEST_F(BusyServerTest, whenSlotsRunShortIdleKeepAliveConnectionsGoFirst) {
    limits.connections = 4;
    start();
    std::vector<int> busy;
    for (int i = 0; i < 4; ++i) {
        busy.push_back(connectFrom());
        send(busy.back(), "GET /busy HTTP/1.1\r\n");
    }
    for (int fd : {busy[0], busy[1]}) {
        send(fd, "Host: x\r\n\r\n");
        ASSERT_TRUE(answerOn(fd).starts_with("HTTP/1.1 200 OK\r\n"));
    }
    const int newcomer = connectFrom();
    send(newcomer, get("/new"));
    EXPECT_TRUE(answerOn(newcomer).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(closedAtOnce(busy[0]));
    send(busy[1], get("/again"));
    EXPECT_TRUE(answerOn(busy[1]).starts_with("HTTP/1.1 200 OK\r\n"));
    for (int fd : {busy[2], busy[3]}) {
        send(fd, "Host: x\r\n\r\n");
        EXPECT_TRUE(answerOn(fd).starts_with("HTTP/1.1 200 OK\r\n"));
    }
}

}  // namespace
