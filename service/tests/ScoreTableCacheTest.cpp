#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "ScoreStore.h"
#include "ScoreTableCache.h"

namespace {

using namespace std::chrono_literals;

// A store whose tables the test sets, which counts its reads, and can hold one read
// until the test lets it go or fail one.
class HeldStore final : public ScoreStore {
public:
    int store(const ScoreUpload&, const Source&, std::string&) override { return 0; }
    std::vector<BestEntry> bestEntries(int table, int) override {
        std::unique_lock lock(mutex_);
        ++reads;
        if (std::exchange(failNext_, false)) throw std::runtime_error("the scores cannot be read");
        if (holdNext_) {
            holdNext_ = false;
            holding_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !holding_; });
        }
        return tables_[table];
    }
    bool hasInstallation(std::uint32_t) override { return false; }
    std::int64_t uploadCount() override { return 0; }
    void endWaitsBy(std::chrono::steady_clock::time_point) override {}

    void setBest(int table, const std::string& name) {
        std::lock_guard lock(mutex_);
        tables_[table] = {{1, "DE", name, 1000, 1700000000}};
    }
    void failNextRead() {
        std::lock_guard lock(mutex_);
        failNext_ = true;
    }
    void holdNextRead() {
        std::lock_guard lock(mutex_);
        holdNext_ = true;
    }
    void awaitHeldRead() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return holding_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        holding_ = false;
        changed_.notify_all();
    }

    std::atomic<int> reads = 0;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holdNext_ = false;
    bool failNext_ = false;
    bool holding_ = false;
    std::vector<BestEntry> tables_[5];
};

class ScoreTableCacheTest : public ::testing::Test {
protected:
    bool shows(std::optional<int> table, const std::string& name) {
        return cache.page(table)->find(name) != std::string::npos;
    }

    HeldStore store;
    std::atomic<std::int64_t> milliseconds = 0;
    ScoreTableCache cache{store, [this] { return ScoreTableCache::Clock::time_point(1h + milliseconds.load() * 1ms); }};
};

TEST_F(ScoreTableCacheTest, aFormIsDrawnAtMostOnceASecondAndShowsAChangeWithinIt) {
    store.setBest(0, "Ann");
    EXPECT_TRUE(shows(0, "Ann"));
    EXPECT_EQ(store.reads, 1);
    store.setBest(0, "Bob");
    milliseconds = 999;
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(shows(0, "Ann"));
    EXPECT_EQ(store.reads, 1);
    milliseconds = 1000;
    EXPECT_TRUE(shows(0, "Bob"));
    EXPECT_TRUE(shows(0, "Bob"));
    EXPECT_EQ(store.reads, 2);
    // The page of all tables is a form of its own, drawn from every table.
    EXPECT_TRUE(shows(std::nullopt, "Bob"));
    EXPECT_TRUE(shows(std::nullopt, "Bob"));
    EXPECT_EQ(store.reads, 2 + ScoreTablePage::kTableCount);
    EXPECT_FALSE(shows(1, "Bob"));
}

// Readers that come while a form is drawn again take the drawing before it rather than
// wait for the store, or read it themselves.
TEST_F(ScoreTableCacheTest, readersDuringADrawingTakeTheOneBefore) {
    store.setBest(2, "Ann");
    ASSERT_TRUE(shows(2, "Ann"));
    store.setBest(2, "Bob");
    milliseconds = 5000;
    store.holdNextRead();
    auto drawing = std::async(std::launch::async, [this] { return shows(2, "Bob"); });
    store.awaitHeldRead();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(shows(2, "Ann"));
    store.release();
    ASSERT_EQ(drawing.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(drawing.get());
    EXPECT_TRUE(shows(2, "Bob"));
    EXPECT_EQ(store.reads, 2);
}

// A drawing that fails passes the failure on to its reader and leaves the form free: the
// next reader draws it again, whether a drawing was shown before or not.
TEST_F(ScoreTableCacheTest, aDrawingThatFailsLeavesTheFormToTheNextReader) {
    store.setBest(3, "Ann");
    ASSERT_TRUE(shows(3, "Ann"));
    store.setBest(3, "Bob");
    milliseconds = 1000;
    store.failNextRead();
    EXPECT_THROW(cache.page(3), std::runtime_error);
    // Fatal, since a form never freed would hold the next reader of a first drawing forever.
    ASSERT_TRUE(shows(3, "Bob"));
    store.failNextRead();
    EXPECT_THROW(cache.page(std::nullopt), std::runtime_error);
    EXPECT_TRUE(shows(std::nullopt, "Bob"));
}

}  // namespace
