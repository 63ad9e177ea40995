#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "engine/Strings.h"
#include "engine/UserFileGuard.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"

namespace {
namespace fs = std::filesystem;
using Problems = std::vector<UserFileGuard::Problem>;
constexpr auto kNotSaved = UserFileGuard::Problem::Kind::kNotSaved;

// A data folder with one saved file; failing saves run unprivileged, in a child.
class UserFileGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserFileGuard::forgetAll();
        fs::create_directory(data);
        std::ofstream(file) << "old";
        if (!user.unavailable().empty()) GTEST_SKIP() << user.unavailable();
        user.handOver(folder.path);
    }
    bool save(const std::string& text) { return UserFileGuard::save(utf8ToWide(file), text.data(), text.size()); }
    // Empty when the saves failed and exactly `expected` was told, once.
    std::string failingSaves(const Problems& expected) {
        if (save("new") || save("newer")) return "a save succeeded";
        if (UserFileGuard::takeUntoldProblems() != expected) return "not reported as expected";
        return UserFileGuard::takeUntoldProblems().empty() ? "" : "told twice";
    }

    TempFolder folder;
    std::string data = folder.file("data");
    std::string file = data + "/user.hst";
    const Unprivileged user;
};
}  // namespace

TEST_F(UserFileGuardTest, AReadOnlyFolderIsReportedOnceAndKeepsTheOldFile) {
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(user.run([this] { return failingSaves({{kNotSaved, utf8ToWide(data), EACCES}}); }), "");
    EXPECT_EQ(TempFolder::read(file), "old");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST_F(UserFileGuardTest, AFullDiskKeepsTheOldFileAndIsReported) {
    // A file size limit fails the write after part of it, as a full disk would.
    EXPECT_EQ(user.run([this] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2, 2};
        setrlimit(RLIMIT_FSIZE, &limit);
        return failingSaves({{kNotSaved, utf8ToWide(data), EFBIG}});
    }),
              "");
    EXPECT_EQ(TempFolder::read(file), "old");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST_F(UserFileGuardTest, AFileInThePlaceOfTheDataFolderMeansMissingFilesAndFailingSaves) {
    fs::remove_all(data);
    std::ofstream(data) << "in the way";
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(UserFileGuard::read(utf8ToWide(file), bytes, 100), UserFileGuard::ReadResult::kMissing);
    EXPECT_EQ(failingSaves({{kNotSaved, utf8ToWide(data), ENOTDIR}}), "");
}
