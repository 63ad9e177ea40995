#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "CrashReportStore.h"

namespace {

class CrashReportStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-crashes-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
};

// The largest file this process may write is lowered to `bytes` while it lives, so that
// writing more fails as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

// This process may open no more files while it lives: its open-file limit is lowered to
// the lowest free descriptor.
class NoFreeDescriptor {
public:
    NoFreeDescriptor() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~NoFreeDescriptor() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

// A draft that is not kept leaves nothing behind, even when no descriptor is free to
// list its folder with: a busy service would otherwise gather empty folders.
TEST_F(CrashReportStoreTest, aDraftGoesWholeEvenWithNoFileFree) {
    CrashReportStore store(folder);
    std::string error;
    auto draft = store.draft(error);
    ASSERT_TRUE(draft) << error;
    ASSERT_TRUE(draft->beginFile("crashLog", "a.log", error)) << error;
    ASSERT_TRUE(draft->write("log", error)) << error;
    ASSERT_TRUE(draft->endFile(error)) << error;
    {
        NoFreeDescriptor limit;
        draft.reset();
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 0);
}

TEST_F(CrashReportStoreTest, aFileTheDiskCannotTakeFailsWithItsReasonAsTheServicesFault) {
    CrashReportStore store(folder);
    std::string error;
    auto draft = store.draft(error);
    ASSERT_TRUE(draft) << error;
    ASSERT_TRUE(draft->beginFile("crashMiniDump", "c.mdmp", error)) << error;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(draft->write(std::string(8192, 'd'), error));
    }
    EXPECT_TRUE(error.starts_with("cannot write ")) << error;
    EXPECT_NE(error.find("crash.dump: File too large"), std::string::npos) << error;
    EXPECT_TRUE(draft->diskFailed());
    EXPECT_FALSE(draft->outOfFiles());
}

// A file that cannot be opened for want of a descriptor fails the report as the service's
// own, for want of room rather than a fault of the disk.
TEST_F(CrashReportStoreTest, aFileWithNoDescriptorFreeFailsForWantOfRoom) {
    CrashReportStore store(folder);
    std::string error;
    auto draft = store.draft(error);
    ASSERT_TRUE(draft) << error;
    {
        NoFreeDescriptor limit;
        EXPECT_FALSE(draft->beginFile("crashLog", "a.log", error));
    }
    EXPECT_TRUE(draft->diskFailed());
    EXPECT_TRUE(draft->outOfFiles());
}

TEST_F(CrashReportStoreTest, aFieldSentTwiceIsTheSendersFaultNotTheDisks) {
    CrashReportStore store(folder);
    std::string error;
    auto draft = store.draft(error);
    ASSERT_TRUE(draft) << error;
    ASSERT_TRUE(draft->beginFile("crashLog", "a.log", error));
    ASSERT_TRUE(draft->write("log", error));
    ASSERT_TRUE(draft->endFile(error)) << error;
    EXPECT_FALSE(draft->beginFile("crashLog", "b.log", error));
    EXPECT_EQ(error, "The form has \"crashLog\" more than once.");
    EXPECT_FALSE(draft->beginFile("crashOther", "b.log", error));
    EXPECT_FALSE(draft->diskFailed());
}

// Once a flood of addresses, each of one report, fills the table of addresses, a new
// address counts in an entry it took over from one of them: a refusal by those counts must
// not claim that it sent them.
TEST_F(CrashReportStoreTest, aNewAddressAfterAFloodIsToldOfTheCrowdNotOfReportsItDidNotSend) {
    CrashReportStore store(folder, {1 << 20, 2, 64});
    std::string error;
    ASSERT_TRUE(store.claim("10.0.0.0", 10, 0, error) && store.claim("10.0.0.0", 10, 0, error)) << error;
    for (int i = 1; i < 64; ++i) ASSERT_TRUE(store.claim("10.0.0." + std::to_string(i), 10, 0, error)) << error;
    EXPECT_TRUE(store.claim("10.0.1.1", 10, 0, error)) << error;
    EXPECT_FALSE(store.claim("10.0.1.1", 10, 0, error));
    EXPECT_EQ(error, "The service is taking error reports from too many addresses now; please try again later.");
    EXPECT_FALSE(store.claim("10.0.0.0", 10, 0, error));
    EXPECT_EQ(error, "This address has sent 2 error reports in the last hour; please try again later.");
}

// One address may have only so many reports on their way at once, an IPv6 address
// counting by its /64: a report refused for that counts nothing against its address's
// hour, and the place comes back as a report on its way ends.
TEST_F(CrashReportStoreTest, anAddressHasOnlySoManyReportsOnTheirWayAtOnce) {
    CrashReportStore store(folder, {.diskBytes = 1 << 20, .reportsPerHour = 3, .reportsAtOnce = 2});
    std::string error;
    auto first = store.claim("2001:db8:1:2::1", 10, 0, error);
    auto second = store.claim("2001:db8:1:2:ffff::2", 10, 0, error);
    ASSERT_TRUE(first && second) << error;
    EXPECT_FALSE(store.claim("2001:db8:1:2::3", 10, 0, error));
    EXPECT_EQ(error,
              "This address has 2 error reports on their way already; please try again once one of them has arrived.");
    EXPECT_TRUE(store.claim("2001:db8:1:3::1", 10, 0, error)) << error;
    EXPECT_TRUE(store.claim("192.0.2.1", 10, 0, error)) << error;
    first.reset();
    EXPECT_TRUE(store.claim("2001:db8:1:2::3", 10, 0, error)) << error;
    second.reset();
    EXPECT_FALSE(store.claim("2001:db8:1:2::3", 10, 0, error));
    EXPECT_EQ(error, "This address has sent 3 error reports in the last hour; please try again later.");
}

}  // namespace
