#include <poll.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

#include "support/DatabaseLock.h"
#include "support/ScoreRecordBuilder.h"
#include "support/ServiceFixture.h"
#include "support/TurnedClock.h"

namespace {

class UploadRouteTest : public ServiceFixture {
protected:
    httplib::Result upload(const std::string& record) {
        return post("/tv2/highscoreupload.php",
                    GameForm().standardFields().file("HSTfile", "Torvane2Xmas.hst", record));
    }
    // The whole request of an upload of `record`, for a connection of the test's own.
    static std::string uploadRequest(const std::string& record) {
        const std::string body = GameForm().standardFields().file("HSTfile", "x.hst", record).body();
        return "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " +
               std::string(GameForm::kContentType) + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
               body;
    }
    // A record of `installation` with one entry named `name`.
    static std::string record(std::uint32_t installation, const std::string& name) {
        ScoreRecordBuilder builder(installation);
        return builder.entry(0, 0, name, 1000).bytes();
    }
    std::string page(const std::string& query = "") {
        auto reply = client->Get(("/tv2/highscoretable.php" + query).c_str());
        return reply && reply->status == 200 ? reply->body : "status " + std::to_string(reply ? reply->status : -1);
    }
};

TEST_F(UploadRouteTest, keepsTheBestEntryOfEachInstallationWithItsCountry) {
    ScoreRecordBuilder first(1, "DE");
    first.entry(1, 0, "<b>Ann</b> & co", 95000).entry(1, 1, "Ann again", 90000);
    auto reply = upload(first.bytes());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, "Received 2 scores (2 new).\nThank you!\n");
    ScoreRecordBuilder second(2, "--");
    second.entry(1, 0, "Cy", 97500);
    ASSERT_EQ(upload(second.bytes())->status, 200);
    // The same record again is answered, and kept nowhere.
    EXPECT_EQ(upload(first.bytes())->body, "Received 2 scores (0 new).\nThank you!\n");

    const std::string html = page("?table=1");
    EXPECT_NE(html.find("&lt;b&gt;Ann&lt;/b&gt; &amp; co"), std::string::npos);
    EXPECT_EQ(html.find("<b>Ann"), std::string::npos);
    EXPECT_EQ(html.find("Ann again"), std::string::npos);
    EXPECT_NE(html.find("Germany (DE)"), std::string::npos);
    EXPECT_NE(html.find("97.500%"), std::string::npos);
    EXPECT_LT(html.find("Cy"), html.find("Ann"));
    EXPECT_EQ(scores->uploadCount(), 2);
    EXPECT_EQ(page("?table=5"), "status 404");
    EXPECT_NE(page().find("No scores yet."), std::string::npos);  // the other tables
}

TEST_F(UploadRouteTest, refusedUploadsChangeNothing) {
    ScoreRecordBuilder builder(3);
    builder.entry(0, 0, "kept?", 1000).entry(4, 9, "bad", 10);
    builder.raw()[ScoreRecordBuilder::offset(4, 9) + 16] = 'B';  // the last entry no longer matches its digest
    EXPECT_EQ(upload(builder.bytes())->status, 400);
    EXPECT_EQ(upload(builder.bytes().substr(1))->status, 400);
    EXPECT_EQ(post("/tv2/highscoreupload.php", GameForm().standardFields())->status, 400);
    EXPECT_EQ(post("/tv2/highscoreupload.php",
                   GameForm().standardFields().file("HSTfile", "a", "x").file("HSTfile", "b", "y"))
                  ->status,
              400);
    const std::string oversized(WebService::kUploadBodyLimit + 1, 'x');
    EXPECT_EQ(client->Post("/tv2/highscoreupload.php", oversized, GameForm::kContentType)->status, 413);
    EXPECT_EQ(statusLineForLength("/tv2/highscoreupload.php", WebService::kUploadBodyLimit, true),
              "HTTP/1.1 100 Continue");
    EXPECT_EQ(scores->uploadCount(), 0);
    EXPECT_EQ(page().find("kept?"), std::string::npos);
}

TEST_F(UploadRouteTest, aStorageFaultKeepsNothingOfThatUploadAndSparesTheOthers) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "scores.sqlite3").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER fail BEFORE INSERT ON scores WHEN NEW.score = 666 "
                           "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    // Uploads that arrive together are committed together: a faulty one among them must
    // be undone alone, its first entry included.
    std::vector<std::thread> clients;
    std::atomic<int> acknowledged = 0, failed = 0;
    for (int i = 0; i < 16; ++i) {
        clients.emplace_back([&, i] {
            ScoreRecordBuilder builder(static_cast<std::uint32_t>(100 + i));
            builder.entry(0, 0, "client " + std::to_string(i), 5000).entry(3, 2, "last", i % 2 ? 666 : 777);
            httplib::Client own("127.0.0.1", port);
            auto reply = own.Post("/tv2/highscoreupload.php",
                                  GameForm().standardFields().file("HSTfile", "x.hst", builder.bytes()).body(),
                                  GameForm::kContentType);
            (reply && reply->status == 200 ? acknowledged : failed)++;
            EXPECT_TRUE(reply && reply->status == (i % 2 ? 500 : 200));
        });
    }
    for (std::thread& c : clients) c.join();
    EXPECT_EQ(acknowledged, 8);
    EXPECT_EQ(scores->uploadCount(), 8);
    const std::string html = page("?table=0");
    EXPECT_NE(html.find("client 0<"), std::string::npos);
    EXPECT_EQ(html.find("client 1<"), std::string::npos);
}

// Anyone can make up installations: one address may add only so many in an hour, while
// installations already kept upload as often as they like.
TEST_F(UploadRouteTest, oneAddressAddsOnlySoManyNewInstallationsAnHour) {
    newInstallationsPerHour = 2;
    stop();
    start();
    // A record that keeps nothing adds no installation, and so is not counted.
    EXPECT_EQ(upload(ScoreRecordBuilder(9).bytes())->status, 200);
    EXPECT_EQ(upload(record(1, "first"))->status, 200);
    EXPECT_EQ(upload(record(2, "second"))->status, 200);
    auto refused = upload(record(3, "third"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->body,
              "This address has sent the scores of 2 new installations in the last hour; please try again later.\n");
    EXPECT_EQ(upload(record(1, "first again"))->body, "Received 1 score (1 new).\nThank you!\n");
    EXPECT_FALSE(scores->hasInstallation(3));
    // Another address has an hour of its own.
    EXPECT_EQ(statusLineFor(uploadRequest(record(3, "third")), "127.0.0.2"), "HTTP/1.1 200 OK");
    EXPECT_EQ(scores->uploadCount(), 4);
}

// The addresses counted are bounded: once they all have used their hour's worth, a new
// address is refused, and told that the service is counting too many, not that it has
// sent what it has not.
TEST_F(UploadRouteTest, aNewAddressRefusedForWantOfRoomToCountItIsToldSo) {
    newInstallationsPerHour = 1;
    newInstallationNetworks = 1;
    stop();
    start();
    EXPECT_EQ(statusLineFor(uploadRequest(record(1, "first")), "127.0.0.2"), "HTTP/1.1 200 OK");
    auto refused = upload(record(2, "second"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->body,
              "The service is taking the scores of new installations from too many addresses now; please try "
              "again later.\n");
    EXPECT_FALSE(scores->hasInstallation(2));
}

// The stores of a service on a clock the test turns, which the store's waits and the
// server's deadlines both read (`limits`), so that none passes but as the test says. The
// clock starts far from the steady clock's time, so that a wait timed on that clock
// would end at once or never.
struct TurnedStores {
    explicit TurnedStores(const std::filesystem::path& folder)
        : database(databasePath(folder), SqliteScoreStore::kLockPatience, clock.function()),
          reports(folder / "crashreports") {}

    static std::string databasePath(const std::filesystem::path& folder) {
        return (folder / "scores.sqlite3").string();
    }
    HttpServer::Limits limits() {
        HttpServer::Limits limits;
        limits.clock = clock.uncounted();
        return limits;
    }

    TurnedClock clock{TurnedClock::Clock::time_point(std::chrono::hours(100000))};
    SqliteScoreStore database;
    CrashReportStore reports;
};

// Another process holds the database's write lock when the service is stopped: an
// upload waiting for it is told to come back by the time the stop gives its handler,
// and the connection is closed at the stop's end. (Its wait would otherwise outlast the
// stop, which closes the connection unanswered.) The test turns the server's loop, so
// that it knows when the stop has been taken up.
TEST_F(UploadRouteTest, anUploadWaitingForTheDatabaseAtAStopIsToldToRetryInTime) {
    stop();
    TurnedStores turned(folder);
    ASSERT_TRUE(turned.database.ok()) << turned.database.openError();
    TurnedClock& clock = turned.clock;
    WebService service(turned.database, turned.reports, turned.limits());
    port = service.bind("127.0.0.1", 0);
    HttpServer& server = service.server();
    ASSERT_TRUE(port > 0 && server.start());
    DatabaseLock lock(TurnedStores::databasePath(folder));
    ASSERT_TRUE(lock.hold());
    const int fd = connectToService();
    const std::string request = uploadRequest(record(8, "Held"));
    const std::uint64_t reads = clock.reads();
    ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    // Turns the loop `turns` times at most, 10 ms each, until `done`; whether it is.
    const auto turnUntil = [&server](const auto& done, int turns = 1000) {
        for (int i = 0; i < turns && !done(); ++i) server.turn(std::chrono::milliseconds(10));
        return done();
    };
    const auto answered = [fd] {
        pollfd answer{fd, POLLIN, 0};
        return ::poll(&answer, 1, 0) == 1;
    };
    ASSERT_TRUE(turnUntil([&] { return clock.polledSince(reads); })) << "the upload does not wait";

    service.stop();
    server.turn(std::chrono::milliseconds(0));
    clock.advance(HttpServer::kStopAnswerTime - std::chrono::milliseconds(1));
    // An answer on its way is given a good while to come (the wait looks at the clock
    // every few milliseconds): none may before the wait's end.
    EXPECT_FALSE(turnUntil(answered, 30)) << "answered before the wait's end";
    clock.advance(std::chrono::milliseconds(1));
    const bool answeredInTime = turnUntil(answered);
    lock.release();  // so that a wait that has not ended lets the service go
    ASSERT_TRUE(answeredInTime) << "not answered at the wait's end";
    clock.advance(HttpServer::kStopTime - HttpServer::kStopAnswerTime);
    EXPECT_TRUE(turnUntil([&server] { return server.over(); })) << "the connection was not closed at the stop's end";
    std::string answer;
    char byte = 0;
    while (::recv(fd, &byte, 1, MSG_DONTWAIT) == 1) answer += byte;
    ::close(fd);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nRetry-After: "), std::string::npos) << answer;
    EXPECT_NE(answer.find("The service is stopping"), std::string::npos) << answer;
    EXPECT_EQ(turned.database.uploadCount(), 0);
}

// While another process holds the database, uploads are told to come back. The log says
// so once as the first is, and once as the database takes uploads again or the service
// stops: a long backup must not fill it with a line for each. A spell is timed from when
// its first turned-away upload began to wait, to the first commit after that or the
// stop, and counts every upload turned away in it, many at once on as many workers;
// uploads turned away because the service stops are told as the stop's.
TEST_F(UploadRouteTest, aBusySpellIsLoggedFromItsFirstWaitToItsEnd) {
    stop();
    TurnedStores turned(folder);
    ASSERT_TRUE(turned.database.ok()) << turned.database.openError();
    TurnedClock& clock = turned.clock;
    DatabaseLock lock(TurnedStores::databasePath(folder));
    testing::internal::CaptureStderr();
    {
        WebService service(turned.database, turned.reports, turned.limits());
        port = service.bind("127.0.0.1", 0);
        std::thread serving([&service] { service.run(); });
        const auto send = [this](std::uint32_t installation) {
            return std::async(std::launch::async, [this, installation] {
                return statusLineFor(uploadRequest(record(installation, "Busy")));
            });
        };
        const std::string busy = "HTTP/1.1 503 Service Unavailable";
        ASSERT_TRUE(lock.hold());
        std::future<std::string> first = send(1);
        EXPECT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 1; }));
        clock.advance(std::chrono::seconds(1));
        constexpr std::uint32_t kCrowd = 15;  // each on a worker of its own
        std::vector<std::future<std::string>> crowd;
        for (std::uint32_t i = 0; i < kCrowd; ++i) crowd.push_back(send(10 + i));
        EXPECT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 1 + kCrowd; }));
        clock.advance(std::chrono::seconds(4));
        EXPECT_EQ(first.get(), busy);
        clock.advance(std::chrono::seconds(1));
        for (std::future<std::string>& refused : crowd) EXPECT_EQ(refused.get(), busy);
        clock.advance(std::chrono::seconds(24));
        lock.release();
        EXPECT_EQ(send(3).get(), "HTTP/1.1 200 OK");

        ASSERT_TRUE(lock.hold());
        std::uint64_t reads = clock.reads();
        std::future<std::string> third = send(4);
        EXPECT_TRUE(clock.waitForPolls(reads));
        clock.advance(std::chrono::seconds(5));
        EXPECT_EQ(third.get(), busy);
        reads = clock.reads();
        std::future<std::string> atTheStop = send(5);
        EXPECT_TRUE(clock.waitForPolls(reads));
        clock.advance(std::chrono::seconds(1));
        service.stop();
        clock.advance(HttpServer::kStopAnswerTime);
        EXPECT_EQ(atTheStop.get(), busy);
        clock.advance(HttpServer::kStopTime);
        serving.join();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "torvane_service: the score database is busy (database is locked): uploads are turned away until it "
              "is free\n"
              "torvane_service: the score database takes uploads again, busy for 30.0 s; uploads turned away: 16\n"
              "torvane_service: the score database is busy (database is locked): uploads are turned away until it "
              "is free\n"
              "torvane_service: stopping, the score database busy for 6.0 s; uploads turned away: 1\n"
              "torvane_service: stopping: uploads waiting for the score database told to come back: 1\n");
    EXPECT_EQ(turned.database.uploadCount(), 1);
}

TEST_F(UploadRouteTest, aRestartKeepsTheScores) {
    ScoreRecordBuilder builder(5, "NO");
    builder.entry(2, 0, "Dag", 42000);
    ASSERT_EQ(upload(builder.bytes())->status, 200);
    stop();
    start();
    EXPECT_NE(page("?table=2").find("Dag"), std::string::npos);
    EXPECT_EQ(scores->uploadCount(), 1);
}

}  // namespace
