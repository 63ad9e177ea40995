#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
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

// A store in front of another that tells when an upload reaches it, and ends its waits
// at once when told to end them by a deadline, so that the answer cannot race the end of
// the stop.
class WatchedStore final : public ScoreStore {
public:
    explicit WatchedStore(ScoreStore& inner) : inner_(inner) {}

    int store(const ScoreUpload& upload, const Source& source, std::string& error) override {
        {
            std::lock_guard lock(mutex_);
            storing_ = true;
        }
        changed_.notify_all();
        return inner_.store(upload, source, error);
    }
    std::vector<BestEntry> bestEntries(int table, int limit) override { return inner_.bestEntries(table, limit); }
    bool hasInstallation(std::uint32_t installationId) override { return inner_.hasInstallation(installationId); }
    std::int64_t uploadCount() override { return inner_.uploadCount(); }
    void endWaitsBy(std::chrono::steady_clock::time_point) override {
        inner_.endWaitsBy(std::chrono::steady_clock::now());
    }

    // Waits until an upload has reached the store; false after 10 s.
    bool awaitStoring() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return storing_; });
    }

private:
    ScoreStore& inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool storing_ = false;
};

// Another process holds the database's write lock when the service is stopped: an
// upload waiting for it is told to come back (its wait would otherwise outlast the stop,
// which closes its connection unanswered), and nothing of it is kept.
TEST_F(UploadRouteTest, anUploadWaitingForTheDatabaseAtAStopIsToldToRetry) {
    stop();
    SqliteScoreStore database((folder / "scores.sqlite3").string());
    ASSERT_TRUE(database.ok()) << database.openError();
    WatchedStore watched(database);
    CrashReportStore reports(folder / "crashreports");
    WebService stopping(watched, reports);
    const int servicePort = stopping.bind("127.0.0.1", 0);
    ASSERT_GT(servicePort, 0);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "scores.sqlite3").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread server([&] { stopping.run(); });
    ScoreRecordBuilder record(8);
    record.entry(0, 0, "Held", 1000);
    auto reply = std::async(std::launch::async, [&] {
        httplib::Client own("127.0.0.1", servicePort);
        return own.Post("/tv2/highscoreupload.php",
                        GameForm().standardFields().file("HSTfile", "x.hst", record.bytes()).body(),
                        GameForm::kContentType);
    });
    const bool reached = watched.awaitStoring();
    stopping.stop();
    const httplib::Result answer = reply.get();
    server.join();
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(reached);
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 503);
    EXPECT_TRUE(answer->has_header("Retry-After"));
    EXPECT_EQ(database.uploadCount(), 0);
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
