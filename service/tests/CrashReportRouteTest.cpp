#include <fstream>
#include <sstream>

#include "support/ServiceFixture.h"

namespace {

using namespace std::chrono_literals;

class CrashReportRouteTest : public ServiceFixture {
protected:
    // The reports kept: the folders other than those of reports and bodies on their way.
    std::vector<std::filesystem::path> reports() {
        std::vector<std::filesystem::path> found;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "crashreports", ec))
            if (!entry.path().filename().string().starts_with(".")) found.push_back(entry.path());
        return found;
    }
    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A whole report whose dump has `bytes` bytes.
    static std::string report(std::size_t bytes) {
        return GameForm().standardFields().file("crashMiniDump", "c.mdmp", std::string(bytes, 'd')).body();
    }
    // The head of a report of `length` bytes.
    static std::string reportHead(std::size_t length) {
        return "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
               "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
    }
    // A new connection from `source` on which `bytes` have been sent; closed at the end
    // of the test.
    int sendFrom(const std::string& source, const std::string& bytes) {
        const int fd = connectToService(source.c_str());
        if (fd >= 0) ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        open.push_back(fd);
        return fd;
    }
    void TearDown() override {
        for (int fd : open) ::close(fd);
        ServiceFixture::TearDown();
    }

    // Waits (up to 10 s) until the bodies being received hold `bytes` on the disk in all,
    // so that the server has taken them before its clock moves on.
    bool waitForSpooled(std::uintmax_t bytes) {
        for (int i = 0; i < 1000; ++i) {
            std::uintmax_t spooled = 0;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(folder / "crashreports", ec))
                if (entry.path().filename().string().starts_with(".upload-")) spooled += entry.file_size(ec);
            if (spooled >= bytes) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    std::vector<int> open;
};

TEST_F(CrashReportRouteTest, storesEachPartUnderItsOwnNameNeverTheClients) {
    const std::string dump("\0\r\n--binary", 11);
    auto reply = post("/tv2/crashreport.php", GameForm()
                                                  .standardFields()
                                                  .file("crashLog", "../../../../tmp/evil.log", "log text")
                                                  .file("crashMiniDump", "C:\\Users\\x\\crash.Torvane2Xmas.mdmp", dump)
                                                  .file("crashScreenshot", "/etc/passwd", "jpeg"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, "Error report received: 3 files, 23 bytes.\nThank you for your help!\n");
    const auto found = reports();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(read(found[0] / "log.txt"), "log text");
    EXPECT_EQ(read(found[0] / "crash.dump"), dump);
    EXPECT_EQ(read(found[0] / "screenshot.jpg"), "jpeg");
    EXPECT_FALSE(std::filesystem::exists("/tmp/evil.log"));
    const std::string report = read(found[0] / "report.txt");
    EXPECT_NE(report.find("platform=LINUX\n"), std::string::npos);
    EXPECT_NE(report.find("sent as \"evil.log\""), std::string::npos);
    EXPECT_NE(report.find("sent as \"crash.Torvane2Xmas.mdmp\""), std::string::npos);
}

TEST_F(CrashReportRouteTest, halfWrittenReportsAndBodiesGoAtTheNextStart) {
    EXPECT_EQ(post("/tv2/crashreport.php", GameForm().standardFields().file("crashLog", "a.log", "x"))->status, 200);
    std::filesystem::create_directories(folder / "crashreports" / ".incoming-Ab12Cd");
    std::ofstream(folder / "crashreports" / ".upload-Ab12Cd") << "half a body";
    stop();
    start();
    EXPECT_EQ(reports().size(), 1u);
}

TEST_F(CrashReportRouteTest, aReportOverALimitIsRefusedBeforeItIsSentAndKeepsNothing) {
    crashLimits = {1024 * 1024, 2};
    stop();
    start();
    const auto report = [this](std::size_t bytes) {
        return post("/tv2/crashreport.php",
                    GameForm().standardFields().file("crashMiniDump", "c.mdmp", std::string(bytes, 'd')));
    };
    EXPECT_EQ(report(100)->status, 200);
    // The disk space: a report that would not fit is refused by its announced length.
    auto refused = report(1024 * 1024);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->body, "The service has no room for more error reports now; please try again later.\n");
    // The head alone is refused: no byte of the body need come.
    EXPECT_EQ(statusLineForLength("/tv2/crashreport.php", 1024 * 1024), "HTTP/1.1 429 Too Many Requests");
    // Refused reports do not count against the address; kept ones do.
    EXPECT_EQ(report(100)->status, 200);
    refused = report(100);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->body, "This address has sent 2 error reports in the last hour; please try again later.\n");
    EXPECT_EQ(reports().size(), 2u);
    EXPECT_GT(crashes->usedBytes(), 200u);
}

// The addresses counted are bounded: once they all have sent their hour's worth, a
// report from a new address is refused, and told that the service is counting too many,
// not that it has sent what it has not.
TEST_F(CrashReportRouteTest, aReportFromANewAddressRefusedForWantOfRoomToCountItIsToldSo) {
    crashLimits = {1024 * 1024, 1, 1};
    stop();
    start();
    const std::string whole = report(10);
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.2", reportHead(whole.size()) + whole)), "HTTP/1.1 200 OK");
    auto refused = client->Post("/tv2/crashreport.php", report(10), GameForm::kContentType);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->body,
              "The service is taking error reports from too many addresses now; please try again later.\n");
    EXPECT_EQ(reports().size(), 1u);
}

// A report beyond those one address may have on their way at once is refused at its
// head, before its body is sent, while another address's is taken; the address may send
// it once one of its reports has arrived.
TEST_F(CrashReportRouteTest, aReportBeyondThoseAnAddressMayHaveOnTheirWayIsRefusedAtItsHead) {
    crashLimits.reportsAtOnce = 2;
    stop();
    start();
    const std::string whole = report(10);
    const int first = sendFrom("127.0.0.2", reportHead(whole.size()) + whole.substr(0, 100));
    sendFrom("127.0.0.2", reportHead(whole.size()) + whole.substr(0, 100));
    ASSERT_TRUE(waitForSpooled(200));
    EXPECT_EQ(statusLineFor(reportHead(whole.size()), "127.0.0.2"), "HTTP/1.1 429 Too Many Requests");
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.3", reportHead(whole.size()) + whole)), "HTTP/1.1 200 OK");
    ::send(first, whole.data() + 100, whole.size() - 100, MSG_NOSIGNAL);
    EXPECT_EQ(statusLineOn(first), "HTTP/1.1 200 OK");
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.2", reportHead(whole.size()) + whole)), "HTTP/1.1 200 OK");
}

// A report whose body falls silent for 10 s, or, once its grace is
// over, comes at under the least rate or falls too far behind the pace its deadline asks
// of it, is cut off with 408 on the server's clock, and gives back at once the space its bytes took. Each
// counts against its address, so that such reports cannot be made again and again.
TEST_F(CrashReportRouteTest, aReportThatLapsesGivesItsSpaceBackButCountsAgainstItsAddress) {
    crashLimits = {1024 * 1024, 4};
    freezeClock();
    stop();
    start();
    const int silent = sendFrom("127.0.0.1", reportHead(600 * 1024 + 1) + std::string(600 * 1024, 'd'));
    const int trickling = sendFrom("127.0.0.1", reportHead(100 * 1024) + "-");
    // 300 KiB have 39.4 s: 6,000 bytes keep the least rate for 12 s, but by 11 s they
    // are further behind that pace than the grace and their credit allow.
    const int behind = sendFrom("127.0.0.1", reportHead(300 * 1024) + std::string(3000, '-'));
    ASSERT_TRUE(waitForSpooled(600 * 1024 + 1 + 3000));
    advanceClock(5s);
    // Enough to keep it from falling silent, far too little for its rate.
    ::send(trickling, std::string(200, '-').data(), 200, MSG_NOSIGNAL);
    ::send(behind, std::string(3000, '-').data(), 3000, MSG_NOSIGNAL);
    ASSERT_TRUE(waitForSpooled(600 * 1024 + 201 + 6000));
    advanceClock(6100ms);
    EXPECT_EQ(statusLineOn(silent), "HTTP/1.1 408 Request Timeout");
    EXPECT_EQ(statusLineOn(trickling), "HTTP/1.1 408 Request Timeout");
    EXPECT_EQ(statusLineOn(behind), "HTTP/1.1 408 Request Timeout");

    auto reply = client->Post("/tv2/crashreport.php", report(1000 * 1024), GameForm::kContentType);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200) << reply->body;
    reply = client->Post("/tv2/crashreport.php", report(10), GameForm::kContentType);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 429);
    EXPECT_EQ(reply->body, "This address has sent 4 error reports in the last hour; please try again later.\n");
}

// What a report holds of the crash space grows with the bytes that have come: heads that
// announce all of it and send little leave room for others. A report whose bytes would
// take the reports past their space is refused as they come, and, refused for the
// service's want of room, does not count against its address. A head whose length does
// not fit in the space free now is refused before its body is sent.
TEST_F(CrashReportRouteTest, aReportHoldsCrashSpaceAsItsBytesCome) {
    crashLimits = {1024 * 1024, 1};
    freezeClock();
    stop();
    start();
    for (int i = 0; i < 4; ++i) sendFrom("127.0.0." + std::to_string(2 + i), reportHead(1000 * 1024) + "-");
    ASSERT_TRUE(waitForSpooled(4));
    auto reply = client->Post("/tv2/crashreport.php", report(1000), GameForm::kContentType);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200) << reply->body;

    const std::string large = report(700 * 1024);
    const int cut = sendFrom("127.0.0.10", reportHead(large.size()) + large.substr(0, 400 * 1024));
    ASSERT_TRUE(waitForSpooled(4 + 400 * 1024));
    const std::string whole = report(500 * 1024);
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.11", reportHead(whole.size()) + whole)), "HTTP/1.1 200 OK");
    ::send(cut, large.data() + 400 * 1024, large.size() - 400 * 1024, MSG_NOSIGNAL);
    EXPECT_EQ(statusLineOn(cut), "HTTP/1.1 429 Too Many Requests");

    const std::string small = report(10);
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.10", reportHead(small.size()) + small)), "HTTP/1.1 200 OK");
    EXPECT_EQ(statusLineFor(reportHead(700 * 1024), "127.0.0.12"), "HTTP/1.1 429 Too Many Requests");
    EXPECT_EQ(reports().size(), 3u);
}

// Only what a client did counts against its address: a report refused as malformed
// does; one the service could not take, for want of a file to receive it in, does not.
TEST_F(CrashReportRouteTest, onlyWhatTheClientDidCountsAgainstItsAddress) {
    crashLimits = {1024 * 1024, 1};
    stop();
    start();
    std::filesystem::remove_all(folder / "crashreports");
    testing::internal::CaptureStderr();
    auto reply = client->Post("/tv2/crashreport.php", report(10), GameForm::kContentType);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 500);
    std::filesystem::create_directories(folder / "crashreports");
    reply = client->Post("/tv2/crashreport.php", report(10), GameForm::kContentType);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200) << reply->body;

    const std::string empty = GameForm().standardFields().body();
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.2", reportHead(empty.size()) + empty)), "HTTP/1.1 400 Bad Request");
    const std::string whole = report(10);
    EXPECT_EQ(statusLineOn(sendFrom("127.0.0.2", reportHead(whole.size()) + whole)), "HTTP/1.1 429 Too Many Requests");
}

// A body the route does not take is refused at its head, not held for its deadline.
TEST_F(CrashReportRouteTest, anotherMethodIsRefusedAtItsHead) {
    for (const std::string method : {"PUT", "GET"}) {
        const std::string head = method + " /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                                 std::to_string(WebService::kCrashReportBodyLimit) + "\r\n\r\n";
        EXPECT_EQ(statusLineFor(head), "HTTP/1.1 405 Method Not Allowed") << method;
    }
    auto refused = client->Get("/tv2/crashreport.php");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 405);
    EXPECT_EQ(refused->get_header_value("Allow"), "POST");
}

TEST_F(CrashReportRouteTest, refusedReportsLeaveNothingBehind) {
    EXPECT_EQ(post("/tv2/crashreport.php",
                   GameForm().standardFields().file("crashLog", "a.log", "x").file("../../secret", "b", "y"))
                  ->status,
              400);
    EXPECT_EQ(post("/tv2/crashreport.php",
                   GameForm().standardFields().file("crashLog", "a.log", "x").file("crashLog", "b.log", "y"))
                  ->status,
              400);
    EXPECT_EQ(post("/tv2/crashreport.php", GameForm().standardFields().field("crashLog", "not a file"))->status, 400);
    EXPECT_EQ(post("/tv2/crashreport.php", GameForm().file("crashLog", "a.log", "x"))->status, 400);
    auto empty = post("/tv2/crashreport.php", GameForm().standardFields());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 400);
    EXPECT_EQ(empty->body, "The report holds no crash files.\n");
    const std::size_t oversized = WebService::kCrashReportBodyLimit + 1;
    EXPECT_EQ(statusLineForLength("/tv2/crashreport.php", oversized), "HTTP/1.1 413 Payload Too Large");
    EXPECT_EQ(statusLineForLength("/tv2/crashreport.php", oversized, true), "HTTP/1.1 413 Payload Too Large");
    EXPECT_EQ(statusLineFor("POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"),
              "HTTP/1.1 411 Length Required");
    EXPECT_TRUE(reports().empty());
    // Nothing of the refused bodies is left either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "crashreports"),
                            std::filesystem::directory_iterator()),
              0);
}

// The body of a report goes to a file as it arrives; when the service cannot read it back
// the fault is its own: a 500, and the reason goes to the standard error. The report does
// not count against its address.
TEST_F(CrashReportRouteTest, aReportTheServiceCannotStoreIs500WithItsReasonLogged) {
    crashLimits = {1024 * 1024, 1};
    stop();
    start();
    const std::string body = GameForm().standardFields().file("crashLog", "a.log", std::string(5000, 'l')).body();
    const std::string head = "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: " +
                             std::string(GameForm::kContentType) +
                             "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    const int fd = connectToService();
    ASSERT_GE(fd, 0);
    const std::string first = head + body.substr(0, 100);
    ASSERT_EQ(::send(fd, first.data(), first.size(), MSG_NOSIGNAL), static_cast<ssize_t>(first.size()));
    std::filesystem::path spooled;
    for (int i = 0; i < 500 && spooled.empty(); ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(folder / "crashreports"))
            if (entry.path().filename().string().starts_with(".upload-")) spooled = entry.path();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(spooled.empty());
    std::filesystem::remove(spooled);
    testing::internal::CaptureStderr();
    const std::string rest = body.substr(100);
    ::send(fd, rest.data(), rest.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 500 ")) << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\nThe report could not be stored; please try again later.\n")) << answer;
    EXPECT_NE(log.find("crash report not stored: cannot read the body back from " + spooled.string() +
                       ": No such file or directory"),
              std::string::npos)
        << log;
    EXPECT_TRUE(reports().empty());
    auto reply = client->Post("/tv2/crashreport.php", report(10), GameForm::kContentType);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200) << reply->body;
}

}  // namespace
