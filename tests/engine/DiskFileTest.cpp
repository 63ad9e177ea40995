#include <gtest/gtest.h>

#include "engine/DiskFile.h"
#include "support/BareEngine.h"

namespace {

TEST(DiskFileTest, AMissingFileIsNotOpenAndReadsAndWritesNothing) {
    BareEngine bare;
    DiskFile file(u"missing.bin", DiskFile::kRead);
    EXPECT_FALSE(file.bOpen);
    EXPECT_EQ(file.size, 0u);
    char buffer[4];
    EXPECT_EQ(file.read(buffer, 4), -1);
    EXPECT_FALSE(file.writeLine(u"text"));
    EXPECT_FALSE(std::filesystem::exists("missing.bin"));
}

TEST(DiskFileTest, ReadAndWriteFlagsTogetherOpenForReadingWithoutTruncating) {
    BareEngine bare;
    writeText("data.bin", "12345");
    {
        DiskFile file(u"data.bin", DiskFile::kRead | DiskFile::kWrite);
        EXPECT_TRUE(file.bOpen);
        EXPECT_EQ(file.size, 5u);
        char buffer[8] = {};
        EXPECT_EQ(file.read(buffer, 8), 5);
        file.seek(3);
        EXPECT_EQ(file.read(buffer, 8), 2);
        EXPECT_EQ(buffer[0], '4');
    }
    EXPECT_EQ(readBytes("data.bin").size(), 5u);
}

TEST(DiskFileTest, LinesAreWrittenAsUtf8EndedByCrLf) {
    BareEngine bare;
    {
        DiskFile file(u"lines.txt", DiskFile::kWrite);
        ASSERT_TRUE(file.bOpen);
        EXPECT_TRUE(file.writeLine(u"gr\u00FC\u00DF"));
        EXPECT_TRUE(file.write("x", 1));
    }
    EXPECT_EQ(readBytes("lines.txt"), (std::vector<std::uint8_t>{'g', 'r', 0xC3, 0xBC, 0xC3, 0x9F, '\r', '\n', 'x'}));
}

TEST(DiskFileTest, AtomicSaveReplacesTheFileAndLeavesNoTemporary) {
    BareEngine bare;
    writeText("user.cfg", "old contents");
    EXPECT_TRUE(DiskFile::saveAtomically(u"user.cfg", "new", 3));
    EXPECT_EQ(readBytes("user.cfg"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_FALSE(std::filesystem::exists("user.cfg.tmp"));
}

TEST(DiskFileTest, AFailedAtomicSaveReportsFailureAndKeepsNothingBehind) {
    BareEngine bare;
    EXPECT_FALSE(DiskFile::saveAtomically(u"no/such/folder/user.cfg", "new", 3));
    std::filesystem::create_directory("target");
    // Renaming a file over a folder fails after the temporary was written.
    EXPECT_FALSE(DiskFile::saveAtomically(u"target", "new", 3));
    EXPECT_FALSE(std::filesystem::exists("target.tmp"));
}

TEST(DiskFileTest, ASaveNeverWritesThroughALinkAtItsTemporaryName) {
    BareEngine bare;
    writeText("victim", "not yours");
    writeText("user.cfg", "old");
    std::filesystem::create_symlink(bare.folder / "victim", "user.cfg.tmp");
    EXPECT_TRUE(DiskFile::saveAtomically(u"user.cfg", "new", 3));
    EXPECT_EQ(readBytes("victim").size(), 9u);
    EXPECT_EQ(readBytes("user.cfg"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_FALSE(std::filesystem::is_symlink("user.cfg.tmp"));
    // A temporary left by a killed run is replaced the same way.
    writeText("user.cfg.tmp", "half a save");
    EXPECT_TRUE(DiskFile::saveAtomically(u"user.cfg", "newer", 5));
    EXPECT_EQ(readBytes("user.cfg").size(), 5u);
}

}  // namespace
