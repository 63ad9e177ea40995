#include <poll.h>

#include <chrono>

#include "support/ServiceFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

class SlowClientTest : public ServiceFixture {
protected:
    static std::string uploadHead(std::size_t length) {
        return "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " +
               std::string(GameForm::kContentType) + "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
    }

    struct Trickled {
        double seconds = 0;   // from before the connection was made
        std::string answer;   // what came back
        bool closed = false;  // by the service, within the client's 10 s
    };

    // Sends `start`, then one byte of `more` every 50 ms, until the service answers or
    // closes, or for 10 s.
    Trickled trickle(const std::string& start, const std::string& more) {
        const auto begun = Clock::now();
        const int fd = connectToService();
        ::send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        Trickled result;
        for (std::size_t i = 0; Clock::now() - begun < std::chrono::seconds(10); ++i) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 50) == 1) {
                char buffer[1024];
                ssize_t n = 0;
                while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                    result.answer.append(buffer, static_cast<std::size_t>(n));
                result.closed = n == 0;
                break;
            }
            if (!more.empty()) ::send(fd, &more[i % more.size()], 1, MSG_NOSIGNAL);
        }
        ::close(fd);
        result.seconds = std::chrono::duration<double>(Clock::now() - begun).count();
        return result;
    }
};

// Every byte in time must not buy a client more time: its head and its body each have a
// deadline of their own, and an idle connection is closed at the head's. The client
// trickles for up to 10 s, so that an answer or a close at all shows the deadline held;
// none may come before it, however busy the machine, since the client's clock starts
// before the server's can.
TEST_F(SlowClientTest, aTricklingClientIsCutOffAtItsDeadline) {
    serverLimits.headTime = std::chrono::milliseconds(600);
    serverLimits.body.time = std::chrono::milliseconds(600);
    stop();
    start();
    const Trickled head = trickle("GET /tv2/onlinehelp.php HTTP/1.1\r\n", "X-Slow: 1\r\n");
    EXPECT_TRUE(head.answer.starts_with("HTTP/1.1 408 Request Timeout\r\n")) << head.answer;
    EXPECT_GE(head.seconds, 0.6);
    const Trickled body = trickle(uploadHead(1000), std::string(1000, 'x'));
    EXPECT_TRUE(body.answer.starts_with("HTTP/1.1 408 Request Timeout\r\n")) << body.answer;
    EXPECT_GE(body.seconds, 0.6);
    const Trickled idle = trickle("", "");
    EXPECT_TRUE(idle.closed);
    EXPECT_EQ(idle.answer, "");
    EXPECT_GE(idle.seconds, 0.6);
}

// A thousand slow connections: a third trickle their heads, a third their bodies, and a
// third hold a keep-alive connection open after a request. Meanwhile others are served,
// and the slow ones are held, not shed to make room. The server's clock stands still
// while the probes go, so that none of the slow ones can reach a deadline: a probe that
// waited for them would never be answered, and its timeout is only how long the test
// waits for never. Once the clock moves past their deadlines, each trickling one is
// cut off: the clock alone held them. How soon probes are answered is bench_service's
// to measure.
TEST_F(SlowClientTest, aThousandSlowConnectionsDoNotDelayOthers) {
    freezeClock();
    stop();
    start();
    constexpr int kSlow = 1000;
    std::vector<int> slow;
    for (int i = 0; i < kSlow; ++i) {
        // From many addresses, as slow clients would come, each within its address's limit.
        const std::string source = "127.0.0." + std::to_string(2 + i % 100);
        const int fd = connectToService(source.c_str());
        ASSERT_GE(fd, 0) << i;
        const std::string start = i % 3 == 0   ? "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n"
                                  : i % 3 == 1 ? uploadHead(10000)
                                               : "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
        ::send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        slow.push_back(fd);
    }
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < kSlow; ++i)
            if (i % 3 != 2) ::send(slow[static_cast<std::size_t>(i)], i % 3 == 0 ? "X" : "y", 1, MSG_NOSIGNAL);
        httplib::Client probe("127.0.0.1", port);
        probe.set_connection_timeout(std::chrono::seconds(10));
        probe.set_read_timeout(std::chrono::seconds(10));
        auto reply = probe.Get("/tv2/onlinehelp.php");
        ASSERT_TRUE(reply) << round;
        EXPECT_EQ(reply->status, 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // Nothing came back on a trickling connection, not even its end.
    for (int i = 0; i < kSlow; ++i) {
        if (i % 3 == 2) continue;
        pollfd readable{slow[static_cast<std::size_t>(i)], POLLIN, 0};
        EXPECT_EQ(::poll(&readable, 1, 0), 0) << i;
    }
    advanceClock(std::chrono::minutes(1));
    for (int i = 0; i < kSlow; ++i) {
        if (i % 3 == 2) continue;
        EXPECT_EQ(statusLineOn(slow[static_cast<std::size_t>(i)]), "HTTP/1.1 408 Request Timeout") << i;
    }
    for (int fd : slow) ::close(fd);
}

}  // namespace
