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
using Kind = UserFileGuard::Problem::Kind;

class UserFileGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserFileGuard::forgetAll();
        fs::create_directory(data);
        std::ofstream(file) << "old";
    }
    bool save(const std::string& text) { return UserFileGuard::save(utf8ToWide(file), text.data(), text.size()); }

    TempFolder folder;
    std::string data = folder.file("data");
    std::string file = data + "/user.hst";
};
}  // namespace

TEST_F(UserFileGuardTest, MissingIsToldFromUnreadableAndOnlyTheUnreadableIsLeftAlone) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(UserFileGuard::read(utf8ToWide(data + "/none"), bytes, 100), UserFileGuard::ReadResult::kMissing);
    // A file where the folder should be: nothing can be there either.
    EXPECT_EQ(UserFileGuard::read(utf8ToWide(file + "/x"), bytes, 100), UserFileGuard::ReadResult::kMissing);
    EXPECT_TRUE(UserFileGuard::takeUntoldProblems().empty());
    EXPECT_EQ(UserFileGuard::read(utf8ToWide(file), bytes, 2), UserFileGuard::ReadResult::kRead);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old");  // one byte over the limit shows
    EXPECT_TRUE(save("new"));
    EXPECT_EQ(TempFolder::read(file), "new");
}

TEST_F(UserFileGuardTest, AFailingFolderIsReportedOnceAndNoSaveLeavesADamagedFile) {
    const Unprivileged user;
    if (!user.unavailable().empty()) GTEST_SKIP() << user.unavailable();
    user.handOver(folder.path);
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string failure = user.run([this] {
        if (save("new") || save("newer")) return std::string("a save into a read-only folder succeeded");
        const auto problems = UserFileGuard::takeUntoldProblems();
        if (problems != std::vector<UserFileGuard::Problem>{{Kind::kNotSaved, utf8ToWide(data), EACCES}})
            return "reports: " + std::to_string(problems.size());
        return std::string(UserFileGuard::takeUntoldProblems().empty() ? "" : "told twice");
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(TempFolder::read(file), "old");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST_F(UserFileGuardTest, AFullDiskLeavesTheOldFileAndIsReported) {
    // A file size limit fails the write as a full disk would, after part of it is written.
    const Unprivileged user;  // the limit stays in the child
    if (!user.unavailable().empty()) GTEST_SKIP() << user.unavailable();
    user.handOver(folder.path);
    const std::string failure = user.run([this] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2, 2};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (save("much longer than two bytes")) return std::string("the save succeeded");
        const auto problems = UserFileGuard::takeUntoldProblems();
        return problems.size() == 1 && problems[0].kind == Kind::kNotSaved && problems[0].error == EFBIG
                   ? std::string()
                   : std::string("not reported as full");
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(TempFolder::read(file), "old");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST_F(UserFileGuardTest, AProtectedFileIsNeverSavedAndAFolderInThePlaceOfTheDataFolderIsReported) {
    fs::create_directory(file + ".bak");
    EXPECT_FALSE(UserFileGuard::keepBackup(utf8ToWide(file)));
    EXPECT_TRUE(UserFileGuard::isProtected(utf8ToWide(file)));
    EXPECT_FALSE(save("new"));
    EXPECT_EQ(TempFolder::read(file), "old");
    fs::remove_all(data);
    std::ofstream(data) << "a file where the data folder belongs";
    UserFileGuard::forgetAll();
    EXPECT_FALSE(save("new"));
    EXPECT_EQ(UserFileGuard::takeUntoldProblems(),
              (std::vector<UserFileGuard::Problem>{{Kind::kNotSaved, utf8ToWide(data), ENOTDIR}}));
}
