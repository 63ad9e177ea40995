#include <sys/time.h>

#include "support/ServiceFixture.h"

namespace {

class RequestFramingTest : public ServiceFixture {
protected:
    // Sends `bytes` on a connection of its own and returns all that comes back until the
    // service closes it (or 5 s pass).
    std::string exchange(const std::string& bytes) {
        const int fd = connectToService();
        timeval timeout{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::string answer;
        if (fd >= 0 && ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
            char buffer[4096];
            ssize_t n = 0;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        return answer;
    }
    static std::string netTest(const std::string& framing, const std::string& body) {
        return "POST /tv2/nettest.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
               "\r\n" + framing + "\r\n" + body;
    }
    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(RequestFramingTest, anAmbiguousLengthIsRefusedAndTheConnectionClosed) {
    const std::string body = GameForm().standardFields().body();
    const std::string length = std::to_string(body.size());
    // Each would let the service and a proxy before it disagree on where the body ends.
    for (const std::string& framing : std::vector<std::string>{
             "Content-Length: " + length + "\r\nContent-Length: " + std::to_string(body.size() - 10) + "\r\n",
             "Content-Length: " + length + ", 5\r\n",
             "Transfer-Encoding: chunked\r\nContent-Length: " + length + "\r\n", "Content-Length: +" + length + "\r\n",
             "Content-Length: 0x10\r\n", "Content-Length : " + length + "\r\n",
             "Content-Length: " + length + "\r\n folded: on\r\n", "Content-Length: 99999999999999999999999\r\n"}) {
        const std::string answer =
            exchange(netTest(framing, body) + "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n");
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 400 Bad Request\r\n")) << framing << answer;
        EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos) << framing;
        // The bytes after the head were not taken for a request of their own.
        EXPECT_EQ(count(answer, "HTTP/1.1 "), 1) << framing;
    }
    EXPECT_TRUE(exchange("GET / HTTP/1.1\r\n\r\n").starts_with("HTTP/1.1 400 "));  // no host
    EXPECT_TRUE(exchange("GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n").starts_with("HTTP/1.1 400 "));
    EXPECT_TRUE(exchange("GET /  HTTP/1.1\r\nHost: a\r\n\r\n").starts_with("HTTP/1.1 400 "));
    EXPECT_TRUE(exchange("GET / HTTP/2.0\r\nHost: a\r\n\r\n").starts_with("HTTP/1.1 505 "));
    EXPECT_TRUE(exchange("GET / HTTP/1.1\r\nHost: a\r\nX: " + std::string(20000, 'x') + "\r\n\r\n")
                    .starts_with("HTTP/1.1 431 "));
}

TEST_F(RequestFramingTest, aSoundLengthAndRequestsSentTogetherAreServedInTurn) {
    const std::string body = GameForm().standardFields().body();
    const std::string length = std::to_string(body.size());
    // The same length twice says nothing new.
    const std::string answer =
        exchange(netTest("Content-Length: " + length + "\r\ncontent-length: " + length + "\r\n", body) +
                 "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    EXPECT_EQ(count(answer, "HTTP/1.1 200 OK\r\n"), 2);
    EXPECT_NE(answer.find("Torvane 2 help"), std::string::npos);
}

}  // namespace
