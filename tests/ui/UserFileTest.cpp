// The player's three files (profiles, configuration record, per-machine settings) as
// their owners load and save them, when something is wrong with the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "engine/DiskFile.h"
#include "engine/MemoryIniFile.h"
#include "engine/Strings.h"
#include "engine/UserFileGuard.h"
#include "support/Unprivileged.h"
#include "support/UserDataHome.h"
#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"

namespace {
namespace fs = std::filesystem;
using Kind = UserFileGuard::Problem::Kind;

enum class Owner { kProfiles, kConfiguration, kSettings };
const char* const kFileNames[] = {"Torvane2Xmas.pro", "Torvane2Xmas.hst", "Torvane2Xmas.cfg"};

// Loads the file the way the program does, changes something and saves.
void loadChangeAndSave(Owner owner, const std::string& path) {
    if (owner == Owner::kProfiles) {
        ProfileManager profiles;
        profiles.createProfile(u"Newcomer");
    } else if (owner == Owner::kConfiguration) {
        GameConfiguration configuration;
        configuration.maxFps = 30;
    } else {
        MemoryIniFile settings(utf8ToWide(path), MemoryIniFile::PerMachine{});
        settings.setInt(u"Qor", u"debugLevel", 1);
        settings.save();
    }
}

// Empty when exactly `expected` was reported.
std::string checkReports(const UserFileGuard::Problem& expected) {
    const auto problems = UserFileGuard::takeUntoldProblems();
    if (problems.size() == 1 && problems[0] == expected) return {};
    return "unexpected reports: " + std::to_string(problems.size());
}

class UserFileTest : public ::testing::TestWithParam<Owner> {
protected:
    void SetUp() override { fs::create_directories(fs::path(path()).parent_path()); }
    std::string path() const { return home.file(kFileNames[static_cast<int>(GetParam())]); }
    UserDataHome home;
};
}  // namespace

TEST_P(UserFileTest, AFolderOrAPipeInThePlaceOfTheFileIsLeftAloneAndReported) {
    for (const bool pipe : {false, true}) {
        UserFileGuard::forgetAll();
        fs::remove_all(path());
        if (pipe)
            ASSERT_EQ(mkfifo(path().c_str(), 0644), 0);
        else
            fs::create_directory(path());
        // A pipe without a writer must neither block the start nor be written over.
        loadChangeAndSave(GetParam(), path());
        EXPECT_EQ(pipe ? fs::is_fifo(path()) : fs::is_directory(path()), true) << pipe;
        EXPECT_FALSE(fs::exists(path() + ".bak"));
        EXPECT_FALSE(fs::exists(path() + ".tmp"));
        EXPECT_EQ(checkReports({Kind::kUnreadable, utf8ToWide(path()), DiskFile::kNotRegularFile}), "");
    }
}

TEST_P(UserFileTest, AFileThatCannotBeReadIsNeverWrittenOverNorTakenForMissing) {
    const Unprivileged user;
    if (!user.unavailable().empty()) GTEST_SKIP() << user.unavailable();
    std::ofstream(path()) << "the player's only copy";
    fs::permissions(path(), fs::perms::none);
    user.handOver(home.home.path);
    const std::string failure = user.run([this] {
        if (std::ifstream(path()).is_open()) return std::string("the check runs with rights to read anything");
        loadChangeAndSave(GetParam(), path());
        return checkReports({Kind::kUnreadable, utf8ToWide(path()), EACCES});
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(TempFolder::read(path()), "the player's only copy");
    EXPECT_EQ(fs::status(path()).permissions(), fs::perms::none);
    EXPECT_FALSE(fs::exists(path() + ".bak"));
}

TEST_P(UserFileTest, ADamagedFileWhoseCopyCannotBeKeptIsLeftAloneAndReported) {
    // Neither a container nor settings text.
    const std::string junk("\x00\xFF\x13junk\x00\x01", 9);
    std::ofstream(path(), std::ios::binary) << junk;
    fs::create_directory(path() + ".bak");  // the copy's name is taken
    loadChangeAndSave(GetParam(), path());
    EXPECT_EQ(TempFolder::read(path()), junk);
    EXPECT_TRUE(fs::is_directory(path() + ".bak"));
    EXPECT_EQ(checkReports({Kind::kNoBackup, utf8ToWide(path()), EISDIR}), "");
    // The next start finds the folder gone: the copy is kept and the file replaced.
    fs::remove(path() + ".bak");
    UserFileGuard::forgetAll();
    loadChangeAndSave(GetParam(), path());
    EXPECT_EQ(TempFolder::read(path() + ".bak"), junk);
    EXPECT_NE(TempFolder::read(path()), junk);
    EXPECT_TRUE(UserFileGuard::takeUntoldProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryUserFile, UserFileTest,
                         ::testing::Values(Owner::kProfiles, Owner::kConfiguration, Owner::kSettings),
                         [](const auto& info) { return std::string(kFileNames[static_cast<int>(info.param)] + 13); });
