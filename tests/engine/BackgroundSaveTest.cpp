#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "engine/BackgroundSave.h"
#include "engine/Strings.h"
#include "engine/UserFileGuard.h"
#include "support/TempFolder.h"

namespace {
BackgroundSave::Contents bytesOf(const std::string& text) {
    return [text] { return std::vector<std::uint8_t>(text.begin(), text.end()); };
}

class BackgroundSaveTest : public ::testing::Test {
protected:
    void SetUp() override { UserFileGuard::forgetAll(); }
    TempFolder folder;
    std::u16string file = utf8ToWide(folder.file("user.pro"));
};
}  // namespace

// Saves asked for while one is being written: only the newest of those waiting is
// packed and written, and a save made on the spot after finish() comes after it. The
// first save holds the worker until the others are asked for, so that a queue that
// wrote every save in turn would show here as more packings.
TEST_F(BackgroundSaveTest, ANewerSaveReplacesTheOneStillWaiting) {
    std::promise<void> started, release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> packed = 0;
    auto holding = [&, released] {
        ++packed;
        started.set_value();
        released.wait();
        return std::vector<std::uint8_t>{'f', 'i', 'r', 's', 't'};
    };
    auto counted = [&packed](const std::string& text) -> BackgroundSave::Contents {
        return [&packed, text] {
            ++packed;
            return std::vector<std::uint8_t>(text.begin(), text.end());
        };
    };
    BackgroundSave writer;
    ASSERT_TRUE(writer.save(file, holding));
    started.get_future().wait();
    for (int i = 1; i < 50; ++i) ASSERT_TRUE(writer.save(file, counted("save " + std::to_string(i))));
    EXPECT_EQ(packed, 1);  // the others wait behind the first
    release.set_value();
    writer.finish();
    EXPECT_EQ(packed, 2);
    EXPECT_EQ(TempFolder::read(folder.file("user.pro")), "save 49");
    EXPECT_FALSE(std::filesystem::exists(folder.file("user.pro.tmp")));
    writer.save(file, bytesOf("in the background"));
    writer.finish();
    EXPECT_EQ(TempFolder::read(folder.file("user.pro")), "in the background");
    ASSERT_TRUE(UserFileGuard::save(file, "on the spot", 11));
    EXPECT_EQ(TempFolder::read(folder.file("user.pro")), "on the spot");
    EXPECT_TRUE(UserFileGuard::takeUntoldProblems().empty());
}

// The worker's failure is told on the main thread, as a save made there would be; a
// file left alone is not written at all.
TEST_F(BackgroundSaveTest, AFailedWriteIsReportedAndAProtectedFileIsNotWritten) {
    BackgroundSave writer;
    const std::u16string missing = utf8ToWide(folder.file("missing/user.pro"));
    ASSERT_TRUE(writer.save(missing, bytesOf("lost")));
    writer.finish();
    const std::vector<UserFileGuard::Problem> told = UserFileGuard::takeUntoldProblems();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kind, UserFileGuard::Problem::Kind::kNotSaved);
    EXPECT_EQ(told[0].path, utf8ToWide(folder.file("missing")));
    EXPECT_EQ(told[0].error, ENOENT);

    std::filesystem::create_directory(folder.file("user.pro"));  // a folder in the file's place
    std::vector<std::uint8_t> read;
    ASSERT_EQ(UserFileGuard::read(file, read, 100), UserFileGuard::ReadResult::kUnreadable);
    EXPECT_FALSE(writer.save(file, bytesOf("not written")));
    writer.finish();
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("user.pro")));

    // Contents that could not be made leave the file as it was, and say so.
    const std::u16string other = utf8ToWide(folder.file("user.hst"));
    ASSERT_TRUE(UserFileGuard::save(other, "kept", 4));
    ASSERT_TRUE(writer.save(other, [] { return std::vector<std::uint8_t>(); }));
    writer.finish();
    EXPECT_EQ(TempFolder::read(folder.file("user.hst")), "kept");
    const std::vector<UserFileGuard::Problem> later = UserFileGuard::takeUntoldProblems();  // the folder's, too
    ASSERT_FALSE(later.empty());
    EXPECT_EQ(later.back(),
              (UserFileGuard::Problem{UserFileGuard::Problem::Kind::kNotSaved, utf8ToWide(folder.path), ENOMEM}));
}
