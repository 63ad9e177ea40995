// The request worker: the form it builds, the reply's text, and requests against small
// servers on this machine (errors, silence, a huge reply, a reply in many reads).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>

#include "net/HttpRequest.h"
#include "support/TinyHttpServer.h"

namespace {
// Waits (polling as a screen would) until the worker has published its outcome.
HttpRequest::State finish(HttpRequest& request) {
    for (int i = 0; i < 3000 && request.getState() == HttpRequest::Running; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return request.getState();
}

std::shared_ptr<HttpRequest> sent(const TinyHttpServer& server, bool withBody = true) {
    auto request = HttpRequest::create(server.host(), u"/tv2/nettest.php");
    if (withBody) request->addStandardFields();
    request->stallTimeoutSeconds = 1;
    request->start();
    finish(*request);
    return request;
}

// The threads of this process, as the system counts them: reading the count does not
// synchronise with them, so a thread-checker still sees what they did as unordered.
std::size_t threadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

std::string part(const std::string& name, const std::string& value) {
    return "\r\n-----------------------------7d33992b80330\r\nContent-Disposition: form-data; name=\"" + name +
           "\"\r\n\r\n" + value;
}

TEST(HttpRequestTest, TheFormHoldsTheStandardFieldsThenFilePartsThenTheClosingDelimiter) {
    TinyHttpServer server(TinyHttpServer::response(200, "ok"));
    auto shared = HttpRequest::create(server.host(), u"/p");
    HttpRequest& request = *shared;
    request.addStandardFields();
    request.addField("", 0, u"crashLog", u"crash.Torvane2Xmas.log");
    const std::string expected =
        part("platform", "LINUX") + part("gameName", "Torvane2Xmas") + part("gameVersion", "2.79") +
        part("gamePatch", "p") +
        "\r\n-----------------------------7d33992b80330\r\nContent-Disposition: form-data; name=\"crashLog\"; "
        "filename=\"crash.Torvane2Xmas.log\"\r\nContent-Type: application/octet-stream\r\n\r\n" +
        "\r\n-----------------------------7d33992b80330--\r\n";
    request.start();
    ASSERT_EQ(finish(request), HttpRequest::Done);
    EXPECT_EQ(std::string(request.body.begin(), request.body.end()), expected);
    const std::string seen = server.lastRequest();
    EXPECT_EQ(seen.rfind("POST /p HTTP/1.1\r\n", 0), 0u) << seen;
    EXPECT_NE(seen.find("Content-Type: multipart/form-data; boundary=---------------------------7d33992b80330"),
              std::string::npos);
    EXPECT_NE(seen.find("User-Agent: Torvane2Xmas"), std::string::npos);
    EXPECT_EQ(seen.substr(seen.size() - expected.size()), expected);
}

TEST(HttpRequestTest, ARequestWithoutPartsIsAGetWithNoBody) {
    TinyHttpServer server(TinyHttpServer::response(204, ""));
    auto request = sent(server, false);
    EXPECT_EQ(request->getState(), HttpRequest::Done);
    EXPECT_EQ(server.lastRequest().rfind("GET /tv2/nettest.php", 0), 0u);
    EXPECT_EQ(request->getReplyText(), u"");
    EXPECT_EQ(request->takeState(), HttpRequest::Done);
    EXPECT_EQ(request->takeState(), HttpRequest::Idle);  // each outcome is handled once
}

TEST(HttpRequestTest, TheReplysByteOrderMarkChoosesItsEncoding) {
    const std::tuple<std::string, std::u16string> cases[] = {
        {"", u""},
        {"\xEF\xBB\xBF", u""},
        {"\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"},
        {"\xFF\xFE", u""},
        {"\xFF\xFE"
         "A",
         u""},                                              // the odd byte is dropped
        {std::string("\xFF\xFEH\0i\0\0\0j\0", 10), u"Hi"},  // up to the first zero unit
        {"line\r\n\xE2\x82", u"line\r\n\uFFFD"},            // a sequence cut off at the end
    };
    for (const auto& [bytes, text] : cases) {
        HttpRequest request(u"h", u"/p");
        request.reply = ByteBuffer(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        EXPECT_EQ(request.getReplyText(), text) << bytes;
    }
}

TEST(HttpRequestTest, AStatusOutside200To299FailsWithItsNumber) {
    for (int status : {300, 404, 500}) {
        TinyHttpServer server(TinyHttpServer::response(status, "no"));
        auto request = sent(server);
        EXPECT_EQ(request->getState(), HttpRequest::Failed);
        const std::string number = std::to_string(status);
        EXPECT_EQ(request->errorText, u"Failed with HTTP status code " + std::u16string(number.begin(), number.end()));
    }
}

TEST(HttpRequestTest, ARefusalKeepsTheServersPlainTextReasonWithItsFailure) {
    const auto answer = [](int status, const std::string& type, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Type: " + type +
               "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    };
    TinyHttpServer refusing(answer(400, "text/plain; charset=utf-8", "The record is damaged.\n"));
    auto refused = sent(refusing);
    EXPECT_EQ(refused->getState(), HttpRequest::Failed);
    EXPECT_EQ(refused->errorText, u"Failed with HTTP status code 400");
    EXPECT_EQ(refused->status, 400);
    EXPECT_TRUE(refused->isRefusal());
    EXPECT_EQ(refused->getReplyText(), u"The record is damaged.\n");

    // A page of a proxy, a blank reason or a reply of success is no refusal.
    for (const auto& [status, type, body] :
         {std::tuple{502, "text/html", "<p>Bad gateway</p>"}, std::tuple{403, "text/plain", " \r\n"},
          std::tuple{404, "text/plainish", "no"}}) {
        TinyHttpServer server(answer(status, type, body));
        auto request = sent(server);
        EXPECT_EQ(request->getState(), HttpRequest::Failed);
        EXPECT_FALSE(request->isRefusal()) << status << " " << type;
    }
    TinyHttpServer accepting(answer(200, "text/plain", "Thank you!\n"));
    auto accepted = sent(accepting);
    EXPECT_EQ(accepted->getState(), HttpRequest::Done);
    EXPECT_FALSE(accepted->isRefusal());
}

TEST(HttpRequestTest, ALongReplyArrivesWholeAndInOrderAndAnOversizedOneFails) {
    std::string body;
    for (int i = 0; body.size() < 100000; ++i) body += std::to_string(i) + ",";
    TinyHttpServer server(TinyHttpServer::response(200, "\xEF\xBB\xBF" + body));
    auto request = sent(server);
    ASSERT_EQ(request->getState(), HttpRequest::Done);
    EXPECT_EQ(request->getReplyText(), std::u16string(body.begin(), body.end()));

    TinyHttpServer huge(TinyHttpServer::response(200, std::string(HttpRequest::kMaxReplyBytes + 1, 'x')));
    auto tooLarge = sent(huge);
    EXPECT_EQ(tooLarge->getState(), HttpRequest::Failed);
    EXPECT_EQ(tooLarge->errorText, u"Failed with HTTP status code 200");
    EXPECT_EQ(tooLarge->reply.size, 0u);
}

TEST(HttpRequestTest, ASilentServerAndARefusedConnectionFailWithTheirTexts) {
    TinyHttpServer silent("");
    auto request = sent(silent);
    EXPECT_EQ(request->getState(), HttpRequest::Failed);
    EXPECT_EQ(request->errorText, u"Could not send request (error 0000001c)");  // timed out

    std::u16string closedHost;
    {
        TinyHttpServer gone("x");
        closedHost = gone.host();
    }  // nobody listens there any more
    auto nobody = HttpRequest::create(closedHost, u"/");
    nobody->start();
    EXPECT_EQ(finish(*nobody), HttpRequest::Failed);
    EXPECT_EQ(nobody->errorText, u"Could not connect (error 00000007)");
}

TEST(HttpRequestTest, AnAbandonedRequestFreesItselfWhenItsWorkerEnds) {
    TinyHttpServer server(TinyHttpServer::response(200, "late"));
    std::weak_ptr<HttpRequest> watch;
    {
        auto request = HttpRequest::create(server.host(), u"/");
        request->addStandardFields();
        request->start();
        watch = request;
    }  // the screen closes while the request runs
    for (int i = 0; i < 3000 && !watch.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(HttpRequest::runningWorkers(), 0);
}

// A program may end as soon as its request is over, while the worker is still on its way
// out: nothing the worker touches as it ends goes with the program's static objects. The
// exit is made once the worker's thread has gone, without waiting on the pool for it, so
// that a thread-checker (whose reports fail the exit) sees the two unordered.
TEST(HttpRequestTest, TheProgramMayEndAsSoonAsItsRequestIsOver) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TinyHttpServer server(TinyHttpServer::response(200, "ok"));
            const std::size_t threads = threadCount();
            auto request = sent(server, false);
            for (int i = 0; i < 3000 && threadCount() > threads; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::exit(request->getState() == HttpRequest::Done && threadCount() == threads ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The silent server would hold the transfer until its 30 s stall limit: a shutdown that
// sees every worker end within its bound is what ended it.
TEST(HttpRequestTest, ShutdownAbortsRunningTransfersWithinItsBound) {
    TinyHttpServer silent("");
    auto request = HttpRequest::create(silent.host(), u"/");
    ASSERT_GT(request->stallTimeoutSeconds, 5);
    request->start();
    EXPECT_TRUE(HttpRequest::shutdown(5.0));
    EXPECT_EQ(HttpRequest::runningWorkers(), 0);
    EXPECT_EQ(request->getState(), HttpRequest::Failed);
}
}  // namespace
