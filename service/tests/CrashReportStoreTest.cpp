#include <gtest/gtest.h>
#include <sys/resource.h>

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

}  // namespace
