#include <poll.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "support/ScoreRecordBuilder.h"
#include "support/ServiceFixture.h"

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

// A store in front of another, whose database another process holds while the test
// says so: an upload then waits for it until the end of waits the service sets, on a
// clock that the test turns by hand, and is refused as busy. The service reads the same
// clock, so that no deadline passes but as the test says.
class HeldStore final : public ScoreStore {
public:
    using Clock = std::chrono::steady_clock;

    explicit HeldStore(ScoreStore& inner) : inner_(inner) {}

    int store(const ScoreUpload& upload, const Source& source, std::string& error) override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.wait(lock, [this] { return !held_ || now_ >= waitsEnd_; });
        --waiting_;
        if (held_) {
            error = "database is locked";
            return kBusy;
        }
        lock.unlock();
        return inner_.store(upload, source, error);
    }
    std::vector<BestEntry> bestEntries(int table, int limit) override { return inner_.bestEntries(table, limit); }
    bool hasInstallation(std::uint32_t installationId) override { return inner_.hasInstallation(installationId); }
    std::int64_t uploadCount() override { return inner_.uploadCount(); }
    void endWaitsBy(Clock::time_point deadline) override {
        std::lock_guard lock(mutex_);
        waitsEnd_ = std::min(waitsEnd_, deadline);
        changed_.notify_all();
    }

    Clock::time_point now() {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void advance(Clock::duration by) {
        std::lock_guard lock(mutex_);
        now_ += by;
        changed_.notify_all();
    }
    void hold(bool held) {
        std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    // Whether an upload waits for the database.
    bool waiting() {
        std::lock_guard lock(mutex_);
        return waiting_ > 0;
    }

private:
    ScoreStore& inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Clock::time_point now_ = Clock::now();
    Clock::time_point waitsEnd_ = Clock::time_point::max();
    bool held_ = false;
    int waiting_ = 0;
};

// The limits of a service that reads the clock of `held`.
HttpServer::Limits onClockOf(HeldStore& held) {
    HttpServer::Limits limits;
    limits.clock = [&held] { return held.now(); };
    return limits;
}

// Another process holds the database's write lock when the service is stopped: an
// upload waiting for it is told to come back by the time the stop gives its handler,
// and the connection is closed at the stop's end. (Its wait would otherwise outlast the
// stop, which closes the connection unanswered.) The test turns the server's loop, so
// that it knows when the stop has been taken up.
TEST_F(UploadRouteTest, anUploadWaitingForTheDatabaseAtAStopIsToldToRetryInTime) {
    stop();
    SqliteScoreStore database((folder / "scores.sqlite3").string());
    ASSERT_TRUE(database.ok()) << database.openError();
    HeldStore held(database);
    CrashReportStore reports(folder / "crashreports");
    WebService service(held, reports, onClockOf(held));
    port = service.bind("127.0.0.1", 0);
    HttpServer& server = service.server();
    ASSERT_TRUE(port > 0 && server.start());
    held.hold(true);
    const int fd = connectToService();
    const std::string request = uploadRequest(record(8, "Held"));
    ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    const auto turnUntil = [&server](const auto& done) {
        for (int i = 0; i < 1000 && !done(); ++i) server.turn(std::chrono::milliseconds(10));
        return done();
    };
    ASSERT_TRUE(turnUntil([&held] { return held.waiting(); }));

    service.stop();
    server.turn(std::chrono::milliseconds(0));
    held.advance(HttpServer::kStopAnswerTime - std::chrono::milliseconds(1));
    server.turn(std::chrono::milliseconds(0));
    char byte = 0;
    EXPECT_EQ(::recv(fd, &byte, 1, MSG_DONTWAIT), -1) << "answered before the wait's end";
    held.advance(std::chrono::milliseconds(1));
    const bool answered = turnUntil([fd] {
        pollfd answer{fd, POLLIN, 0};
        return ::poll(&answer, 1, 0) == 1;
    });
    held.hold(false);  // so that a wait that has not ended lets the service go
    ASSERT_TRUE(answered) << "not answered at the wait's end";
    held.advance(HttpServer::kStopTime - HttpServer::kStopAnswerTime);
    EXPECT_TRUE(turnUntil([&server] { return server.over(); })) << "the connection was not closed at the stop's end";
    std::string answer;
    while (::recv(fd, &byte, 1, MSG_DONTWAIT) == 1) answer += byte;
    ::close(fd);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << answer;
    EXPECT_NE(answer.find("\r\nRetry-After: "), std::string::npos) << answer;
    EXPECT_EQ(database.uploadCount(), 0);
}

// While another process holds the database, uploads are told to come back. The log says
// so once as the first is, and once as the database takes uploads again or the service
// stops, with how long that lasted and how many were turned away: a long backup must not
// fill it with a line for each.
TEST_F(UploadRouteTest, aBusySpellIsLoggedOnceAsItStartsAndOnceAsItEnds) {
    stop();
    SqliteScoreStore database((folder / "scores.sqlite3").string());
    ASSERT_TRUE(database.ok()) << database.openError();
    HeldStore held(database);
    held.endWaitsBy(held.now());  // a held database turns uploads away at once
    CrashReportStore reports(folder / "crashreports");
    testing::internal::CaptureStderr();
    {
        WebService service(held, reports, onClockOf(held));
        port = service.bind("127.0.0.1", 0);
        std::thread serving([&service] { service.run(); });
        held.hold(true);
        std::vector<std::thread> clients;
        for (std::uint32_t i = 0; i < 4; ++i)
            clients.emplace_back([this, i] {
                for (std::uint32_t j = 0; j < 4; ++j)
                    EXPECT_EQ(statusLineFor(uploadRequest(record(100 + 10 * i + j, "Busy"))),
                              "HTTP/1.1 503 Service Unavailable");
            });
        for (std::thread& client : clients) client.join();
        held.advance(std::chrono::seconds(30));
        held.hold(false);
        EXPECT_EQ(statusLineFor(uploadRequest(record(1, "Free"))), "HTTP/1.1 200 OK");
        held.hold(true);
        EXPECT_EQ(statusLineFor(uploadRequest(record(2, "Busy"))), "HTTP/1.1 503 Service Unavailable");
        held.advance(std::chrono::milliseconds(2500));
        service.stop();
        serving.join();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "torvane_service: the score database is busy (database is locked): uploads are turned away until it "
              "is free\n"
              "torvane_service: the score database takes uploads again, busy for 30.0 s; uploads turned away: 16\n"
              "torvane_service: the score database is busy (database is locked): uploads are turned away until it "
              "is free\n"
              "torvane_service: stopping, the score database busy for 2.5 s; uploads turned away: 1\n");
    EXPECT_EQ(database.uploadCount(), 1);
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
