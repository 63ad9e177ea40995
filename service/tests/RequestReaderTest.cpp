#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "HttpServer.h"
#include "RequestReader.h"

namespace {

using Request = HttpServer::Request;

std::optional<HttpServer::Response> read(const std::string& head, Request& request) {
    std::string version;
    return RequestReader::readHead(head, request, version);
}

TEST(RequestHeadTest, aWholeUrlsAuthorityStandsForTheHost) {
    Request request;
    ASSERT_FALSE(read("GET http://a.test:81/p/q?x=1&y HTTP/1.1\r\nHost: b.test\r\nAccept: */*", request));
    EXPECT_EQ(request.path, "/p/q");
    EXPECT_EQ(request.query, "x=1&y");
    ASSERT_NE(request.header("host"), nullptr);
    EXPECT_EQ(*request.header("host"), "a.test:81");
    EXPECT_EQ(*request.header("accept"), "*/*");

    Request bare;
    ASSERT_FALSE(read("GET HtTpS://[::1]:8079?q HTTP/1.1\r\nHost: b", bare));
    EXPECT_EQ(bare.path, "/");
    EXPECT_EQ(bare.query, "q");
    EXPECT_EQ(*bare.header("host"), "[::1]:8079");
    // A target that only looks like a URL further on is a path.
    Request path;
    ASSERT_FALSE(read("GET /go?to=http://a.test/ HTTP/1.1\r\nHost: b", path));
    EXPECT_EQ(path.path, "/go");
    EXPECT_EQ(*path.header("host"), "b");
}

TEST(RequestHeadTest, aWholeUrlWithoutHostHeaderIsTakenOnlyFromHttp10) {
    Request request;
    const auto refused = read("GET http://a.test/ HTTP/1.1", request);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);
    EXPECT_EQ(refused->body, "The request must name its host once.\n");
    Request old;
    EXPECT_FALSE(read("GET http://a.test/ HTTP/1.0", old));
    EXPECT_EQ(old.header("host"), nullptr);
}

TEST(RequestHeadTest, utf8AndLatin1InValuesAreKeptAsSent) {
    Request request;
    ASSERT_FALSE(read("GET / HTTP/1.1\r\nHost: x\r\nUser-Agent: \t Spiel (M\xc3\xbcller) \xff\t ", request));
    EXPECT_EQ(*request.header("user-agent"), "Spiel (M\xc3\xbcller) \xff");
}

// A connection served by hand, with a handler that echoes each request's path and body.
class ConnectionReaderTest : public ::testing::Test, private HttpServer::Handler {
protected:
    HttpServer::Admission admit(const Request&) override { return {}; }
    HttpServer::Response handle(Request& request) override {
        bodyCapacities.push_back(request.body.capacity());
        HttpServer::Response response;
        response.body = request.path + " " + request.body;
        return response;
    }

    // What the service answers to `bytes` sent in pieces of `piece` bytes (0: whole).
    std::string answers(const std::string& bytes, std::size_t piece) {
        HttpServer server(*this, limits);
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) return "no socket pair";
        {
            HttpServer::Session session(server, ends[0]);
            for (std::size_t at = 0; at < bytes.size(); at += piece == 0 ? bytes.size() : piece)
                if (!session.receive(std::string_view(bytes).substr(at, piece == 0 ? bytes.size() : piece))) break;
        }
        std::string answer;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::recv(ends[1], buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(n));
        ::close(ends[1]);
        return answer;
    }

    HttpServer::Limits limits;
    std::vector<std::size_t> bodyCapacities;  // of the bodies handled, in turn
};

TEST_F(ConnectionReaderTest, aHeadMayBeItsLimitLongHoweverItArrives) {
    limits.longestHead = 64;
    const std::string request = "GET /a HTTP/1.1\r\nHost: x\r\nX: ";
    const std::string fits = request + std::string(64 - request.size(), 'f') + "\r\n\r\n";
    const std::string over = request + std::string(65 - request.size(), 'o') + "\r\n\r\n";
    for (const std::size_t piece : {0, 1, 3, 64, 65, 66, 67}) {
        EXPECT_TRUE(answers(fits + fits, piece).starts_with("HTTP/1.1 200 OK\r\n")) << piece;
        EXPECT_TRUE(answers(over, piece).starts_with("HTTP/1.1 431 ")) << piece;
    }
    // The empty lines passed over before a request are not part of its head.
    EXPECT_TRUE(answers("\r\n\r\n" + fits, 1).starts_with("HTTP/1.1 200 OK\r\n"));
}

// A body that arrives in pieces is held in one buffer of its announced length, not in
// one grown by doubling as it came.
TEST_F(ConnectionReaderTest, aBodyInPiecesIsHeldInOneBufferOfItsLength) {
    const std::string body(10000, 'b');
    answers("POST /b HTTP/1.1\r\nHost: x\r\nContent-Length: 10000\r\n\r\n" + body, 1000);
    EXPECT_EQ(bodyCapacities, std::vector<std::size_t>{10000});
}

TEST_F(ConnectionReaderTest, requestsReadTheSameWholeAndByteByByte) {
    const std::vector<std::string> streams = {
        "\r\nGET /1 HTTP/1.1\r\nHost: x\r\n\r\n\r\n\r\nHEAD /2 HTTP/1.1\r\nHost: x\r\n\r\nGET /3 HTTP/1.1\r\n\r\n",
        "POST /4 HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello\r\nPOST /5 HTTP/1.1\r\nHost: x\r\n"
        "Expect: 100-continue\r\nContent-Length: 3\r\n\r\nabcGET /6 HTTP/1.1\r\n\r\n",
        "GET http://h/7?q HTTP/1.0\r\nConnection: keep-alive\r\n\r\n\r\n\r\n\r\n\r\n\r\nGET /8 HTTP/1.1\r\n\r\n"};
    for (const std::string& stream : streams) {
        const std::string whole = answers(stream, 0);
        EXPECT_NE(whole.find("HTTP/1.1 400 "), std::string::npos) << whole;  // each ends with a refusal
        EXPECT_EQ(answers(stream, 1), whole);
        EXPECT_EQ(answers(stream, 7), whole);
    }
}

}  // namespace
