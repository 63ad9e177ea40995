#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Logger.h"
#include "engine/Strings.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"

namespace {
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 3;  // after the byte-order mark
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class LoggerTest : public ::testing::Test {
protected:
    TempFolder folder;
    FakeClock clock;
    std::string path = folder.file("test.log");
};
}  // namespace

TEST_F(LoggerTest, TheFileStartsWithAByteOrderMarkAndTheHeaderWithoutATimePrefix) {
    clock.ms = 5000;
    { Logger logger(utf8ToWide(path), clock); }
    const std::string text = TempFolder::read(path);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const auto lines = linesOf(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("\tApplication: Torvane2Xmas v2.79.p ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("\tExecuting ", 0), 0u);
    EXPECT_EQ(lines.back().rfind("\tLog date: ", 0), 0u);
    EXPECT_NE(lines.back().find(" UTC"), std::string::npos);
}

TEST_F(LoggerTest, LinesCarryTheMillisecondsSinceThePreviousLine) {
    Logger logger(utf8ToWide(path), clock);
    clock.ms += 12;
    logger.logFrom("Test::run", u"first");
    logger.logFrom("Test::run", u"same millisecond");
    clock.ms += 3;
    logger.log(u"%ls and %s", u"wide", u"also wide");
    const auto lines = linesOf(TempFolder::read(path));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "+12\tTest::run(): first");
    EXPECT_EQ(lines[lines.size() - 2], "\tTest::run(): same millisecond");
    EXPECT_EQ(lines[lines.size() - 1], "+3\twide and also wide");
}

TEST_F(LoggerTest, ElapsedTimeStaysSmallWhenTheMillisecondClockWraps) {
    clock.ms = 0xFFFFFFF0u;
    Logger logger(utf8ToWide(path), clock);
    clock.ms += 0x20;  // wraps to 0x10
    logger.logFrom("Test::run", u"after the wrap");
    const auto lines = linesOf(TempFolder::read(path));
    EXPECT_EQ(lines.back(), "+32\tTest::run(): after the wrap");
}

TEST_F(LoggerTest, AMessageIsNeverTakenAsAFormat) {
    Logger logger(utf8ToWide(path), clock);
    logger.logFrom("Test::run", u"100% sure: %s %d %n");
    EXPECT_EQ(linesOf(TempFolder::read(path)).back(), "\tTest::run(): 100% sure: %s %d %n");
}

TEST_F(LoggerTest, ALogThatCannotBeCreatedGoesToStandardErrorAndSaysWhy) {
    std::filesystem::create_symlink(folder.file("elsewhere"), path);
    for (const std::string& where : {folder.file("missing/folder/test.log"), path}) {
        testing::internal::CaptureStderr();
        {
            Logger logger(utf8ToWide(where), clock);
            EXPECT_TRUE(logger.isOnStandardError());
            logger.logFrom("Test::run", u"still told");
            logger.closeAndCopy();
            logger.logFrom("Test::run", u"dropped");
        }
        const std::string text = testing::internal::GetCapturedStderr();
        EXPECT_NE(text.find("\tLog file: " + where + " could not be created ("), std::string::npos) << text;
        EXPECT_NE(text.find("\tTest::run(): still told\n"), std::string::npos);
        EXPECT_EQ(text.find("dropped"), std::string::npos);
    }
    // The link was not followed.
    EXPECT_FALSE(std::filesystem::exists(folder.file("elsewhere")));
}

TEST_F(LoggerTest, NothingIsWrittenAfterCloseAndCopy) {
    Logger logger(utf8ToWide(path), clock);
    logger.logFrom("Test::run", u"kept");
    logger.closeAndCopy();
    logger.logFrom("Test::run", u"dropped");
    const std::string text = TempFolder::read(path);
    EXPECT_NE(text.find("kept"), std::string::npos);
    EXPECT_EQ(text.find("dropped"), std::string::npos);
}
