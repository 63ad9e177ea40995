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

// HTTP/1.0 may leave Host out, as its clients did; HTTP/1.1 must send it once. Two of
// them leave open which host is meant, in either version.
TEST_F(RequestFramingTest, hostMayBeLeftOutInHttp10OnlyAndIsNeverSentTwice) {
    const auto status = [this](const std::string& version, const std::string& hosts) {
        const std::string answer =
            exchange("GET /tv2/onlinehelp.php " + version + "\r\n" + hosts + "Connection: close\r\n\r\n");
        return answer.substr(0, answer.find("\r\n"));
    };
    EXPECT_EQ(status("HTTP/1.0", ""), "HTTP/1.1 200 OK");
    EXPECT_EQ(status("HTTP/1.0", "Host: a\r\n"), "HTTP/1.1 200 OK");
    EXPECT_EQ(status("HTTP/1.0", "Host: a\r\nHost: b\r\n"), "HTTP/1.1 400 Bad Request");
    EXPECT_EQ(status("HTTP/1.1", "Host: a\r\nHost: a\r\n"), "HTTP/1.1 400 Bad Request");
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

TEST_F(RequestFramingTest, aHeadAnswerGoesWithoutItsBodyAndALaterRefusalWithIts) {
    const std::string head = "HEAD /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::string noHost = "The request must name its host once.\n";
    for (const std::string& next : {std::string("GET / HTTP/1.1\r\n\r\n"),
                                    "GET / HTTP/1.1\r\nHost: x\r\nX: " + std::string(20000, 'x') + "\r\n\r\n"}) {
        const std::string answer = exchange(head + next);
        ASSERT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
        const std::size_t second = answer.find("HTTP/1.1 4");
        ASSERT_NE(second, std::string::npos) << answer;
        // The HEAD answer ends with its head: the next status line follows at once.
        EXPECT_TRUE(answer.substr(0, second).ends_with("\r\n\r\n"));
        EXPECT_EQ(answer.find("Torvane 2 help"), std::string::npos);
        const std::string refusal = answer.substr(second);
        const std::string body = refusal.substr(refusal.find("\r\n\r\n") + 4);
        EXPECT_EQ(body, refusal.starts_with("HTTP/1.1 400 ") ? noHost : "The request's head is too large.\n");
    }
    // A refused HEAD request itself gets its status and headers only.
    const std::string answer = exchange("HEAD / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 400 ")) << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\n")) << answer;
    EXPECT_NE(answer.find("Content-Length: " + std::to_string(noHost.size()) + "\r\n"), std::string::npos);
}

TEST_F(RequestFramingTest, headerValuesMayHoldUtf8ButNoControlBytes) {
    const auto status = [this](const std::string& field) {
        const std::string answer = exchange("GET / HTTP/1.1\r\nHost: x\r\n" + field + "\r\nConnection: close\r\n\r\n");
        return answer.substr(0, answer.find("\r\n"));
    };
    EXPECT_EQ(status("User-Agent: Spiel/1.0 (M\xc3\xbcller; \xe6\x97\xa5\xe6\x9c\xac)"), "HTTP/1.1 200 OK");
    EXPECT_EQ(status("X-Latin1: caf\xe9\xff"), "HTTP/1.1 200 OK");
    EXPECT_EQ(status("X-Tab: a\tb"), "HTTP/1.1 200 OK");
    for (const std::string& bad :
         {std::string("X-Control: a\x01b"), std::string("X-Nul: a") + '\0' + "b", std::string("X-Del: a\x7f"),
          std::string("X-Bare-Cr: a\rb"), std::string("X-N\xc3\xa4me: a")})
        EXPECT_EQ(status(bad), "HTTP/1.1 400 Bad Request") << bad;
    // A target must come percent-encoded.
    EXPECT_TRUE(exchange("GET /caf\xc3\xa9 HTTP/1.1\r\nHost: x\r\n\r\n").starts_with("HTTP/1.1 400 "));
}

TEST_F(RequestFramingTest, aWholeUrlAsTargetIsServedByItsPath) {
    const auto answer = [this](const std::string& target, const std::string& host = "Host: x\r\n",
                               const std::string& version = "HTTP/1.1") {
        return exchange("GET " + target + " " + version + "\r\n" + host + "Connection: close\r\n\r\n");
    };
    EXPECT_NE(answer("http://localhost:8079/tv2/onlinehelp.php").find("Torvane 2 help"), std::string::npos);
    EXPECT_TRUE(answer("HTTPS://example.test").starts_with("HTTP/1.1 200 OK\r\n"));  // the path "/"
    // The query goes with the path.
    const std::string table = answer("http://example.test/tv2/highscoretable.php?table=9");
    EXPECT_TRUE(table.starts_with("HTTP/1.1 404 ")) << table;
    EXPECT_NE(table.find("There is no such high-score table."), std::string::npos);
    // Host is still required once, as with any other target.
    EXPECT_TRUE(answer("http://example.test/", "").starts_with("HTTP/1.1 400 "));
    EXPECT_TRUE(answer("http://example.test/", "Host: a\r\nHost: b\r\n").starts_with("HTTP/1.1 400 "));
    EXPECT_TRUE(answer("http://example.test/", "", "HTTP/1.0").starts_with("HTTP/1.1 200 "));
    for (const char* bad : {"http:///tv2/onlinehelp.php", "http://user@example.test/", "ftp://example.test/",
                            "http://exa mple.test/", "example.test/", "*"})
        EXPECT_TRUE(answer(bad).starts_with("HTTP/1.1 400 ")) << bad;
}

TEST_F(RequestFramingTest, upToFourEmptyLinesBeforeARequestArePassedOver) {
    const std::string get = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    EXPECT_TRUE(exchange("\r\n\r\n\r\n\r\n" + get).starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(exchange("\r\n\r\n\r\n\r\n\r\n" + get).starts_with("HTTP/1.1 400 "));
    // The line break some clients send after a body, beyond its length.
    const std::string body = GameForm().standardFields().body();
    const std::string answer =
        exchange(netTest("Content-Length: " + std::to_string(body.size()) + "\r\n", body) + "\r\n" + get);
    EXPECT_EQ(count(answer, "HTTP/1.1 200 OK\r\n"), 2) << answer;
    EXPECT_NE(answer.find("Torvane 2 help"), std::string::npos);
    // Each request has its own four.
    const std::string head = "HEAD / HTTP/1.1\r\nHost: x\r\n\r\n";
    EXPECT_EQ(count(exchange(head + "\r\n\r\n\r\n" + head + "\r\n\r\n\r\n\r\n" + get), "HTTP/1.1 200 OK\r\n"), 3);
}

}  // namespace
