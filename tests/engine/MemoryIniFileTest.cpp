#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "engine/MemoryIniFile.h"
#include "engine/UserFileGuard.h"
#include "support/BareEngine.h"

namespace {

MemoryIniFile fromText(const std::string& text) {
    return MemoryIniFile(std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(MemoryIniFileTest, EveryEncodingAndLineEndReadsTheSame) {
    for (const std::string text : {"[Qor]\r\ndebugLevel=3\r\n", "[Qor]\ndebugLevel=3",
                                   "\xEF\xBB\xBF[Qor]\r\ndebugLevel=3\r\n", "  [Qor] \t\n\n\tdebugLevel=3  \r\n"}) {
        MemoryIniFile ini = fromText(text);
        EXPECT_EQ(ini.getInt(u"Qor", u"debugLevel"), 3) << text;
    }
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[Qor]\r\ndebugLevel=3\r\n")) utf16 += std::string{c, '\0'};
    EXPECT_EQ(fromText(utf16).getInt(u"Qor", u"debugLevel"), 3);
}

TEST(MemoryIniFileTest, OddLinesFollowTheTextRulesExactly) {
    MemoryIniFile ini = fromText(
        "top=level\n[S]\nk=a=b\nk=second\n spaced = value \n=empty key\nQor\nx=in o\n;note=c\n[\ny=in nameless\n");
    EXPECT_EQ(ini.getString(u"", u"top"), u"level");
    EXPECT_EQ(ini.getString(u"S", u"k"), u"a=b");
    EXPECT_EQ(ini.getString(u"S", u"spaced"), u"value");
    EXPECT_EQ(ini.getString(u"S", u""), u"empty key");
    EXPECT_EQ(ini.getString(u"o", u"x"), u"in o");
    EXPECT_EQ(ini.getString(u"o", u";note"), u"c");
    EXPECT_EQ(ini.getString(u"", u"y"), u"in nameless");
}

TEST(MemoryIniFileTest, NumbersAndBooleansReadLikeTheCConversionsWithoutOverflow) {
    MemoryIniFile ini = fromText(
        "[N]\na= +12abc\nb=abc\nc=99999999999\nd=-99999999999\ne=0.5\nf=1e400\ng=x\nh=-2147483648\n"
        "[B]\nYes=Yes\nY=Y\nlower=yes\nNo=No\nempty=\n");
    EXPECT_EQ(ini.getInt(u"N", u"a"), 12);
    EXPECT_EQ(ini.getInt(u"N", u"b"), 0);
    EXPECT_EQ(ini.getInt(u"N", u"c"), INT_MAX);
    EXPECT_EQ(ini.getInt(u"N", u"d"), INT_MIN);
    EXPECT_EQ(ini.getInt(u"N", u"h"), INT_MIN);
    EXPECT_EQ(ini.getDouble(u"N", u"e"), 0.5);
    EXPECT_TRUE(std::isinf(ini.getDouble(u"N", u"f")));
    EXPECT_EQ(ini.getDouble(u"N", u"g"), 0.0);
    EXPECT_TRUE(ini.getBool(u"B", u"Yes"));
    EXPECT_TRUE(ini.getBool(u"B", u"Y"));
    for (const char16_t* key : {u"lower", u"No", u"empty"}) EXPECT_FALSE(ini.getBool(u"B", key));
}

TEST(MemoryIniFileTest, AMissingKeyIsFatal) {
    BareEngine bare;
    MemoryIniFile ini = fromText("[Graphics]\nhq2x=1\n");
    EXPECT_EXIT(ini.getInt(u"Graphics", u"ditherDepth"), testing::ExitedWithCode(255),
                "Key 'ditherDepth' could not be found in section 'Graphics'.");
}

TEST(MemoryIniFileTest, DefaultsAreWrittenSortedAndReadBack) {
    BareEngine bare;
    {
        MemoryIniFile ini(u"user.cfg");
        EXPECT_FALSE(ini.hasKey(u"Qor", u"gamma"));
        ini.setDouble(u"Qor", u"gamma", 1.25);
        ini.setBool(u"Qor", u"bWindowed", true);
        ini.setInt(u"Qor", u"debugLevel", 0);
        ini.setString(u"Qor", u"debugLevel", u"2");
        ini.hasKey(u"Audio", u"volume");
        EXPECT_TRUE(ini.save());
    }
    EXPECT_EQ(readBytes("user.cfg"), [] {
        const std::string text =
            "\xEF\xBB\xBF[Audio]\r\n\r\n[Qor]\r\nbWindowed=Yes\r\ndebugLevel=2\r\ngamma=1.25000000\r\n\r\n";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }());
    MemoryIniFile again(u"user.cfg");
    EXPECT_EQ(again.getDouble(u"Qor", u"gamma"), 1.25);
    EXPECT_EQ(again.getInt(u"Qor", u"debugLevel"), 2);
    EXPECT_FALSE(std::filesystem::exists("user.cfg.tmp"));
}

TEST(MemoryIniFileTest, FilesAreReadThroughTheFileManager) {
    BareEngine bare(true);
    writeText("loose.ini", "[A]\nk=1\n");
    MemoryIniFile fromArchive(u"loose.ini");
    EXPECT_FALSE(fromArchive.hasKey(u"A", u"k"));
    qor->pFileManager->bDiskOnly = 1;
    MemoryIniFile fromDisk(u"loose.ini");
    EXPECT_TRUE(fromDisk.hasKey(u"A", u"k"));
}

TEST(MemoryIniFileTest, SectionsAreCountedWithoutTheUnnamedOneAndDuplicatesMerge) {
    const std::string text = "stray=1\n[Skin 0]\na=1\n[Skin 1]\n[Skin 0]\nb=2\n";
    MemoryIniFile ini(std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(ini.countSections(), 2);
}

std::vector<std::uint8_t> utf16(const std::string& text, bool bigEndian) {
    std::vector<std::uint8_t> bytes = bigEndian ? std::vector<std::uint8_t>{0xFE, 0xFF} : std::vector<std::uint8_t>{};
    for (char c : text) {
        bytes.push_back(bigEndian ? 0 : static_cast<std::uint8_t>(c));
        bytes.push_back(bigEndian ? static_cast<std::uint8_t>(c) : 0);
    }
    return bytes;
}

TEST(MemoryIniFileTest, PerMachineSettingsThatAreNotTextAreKeptAsABackupAndStartEmpty) {
    BareEngine bare;
    const std::string text = "[Qor]\r\ndebugLevel=3\r\n";
    writeBytes("be.cfg", utf16(text, true));
    EXPECT_EQ(MemoryIniFile(u"be.cfg", MemoryIniFile::PerMachine{}).getInt(u"Qor", u"debugLevel"), 3);
    const std::vector<std::vector<std::uint8_t>> junk = {
        utf16(text, false), {0x8F, 0xFF, 0x00, 0x13, '=', '1'}, {'[', 'Q', ']', '\n', 'a', '=', 0xC3}};
    for (const auto& bytes : junk) {
        UserFileGuard::forgetAll();
        writeBytes("user.cfg", bytes);
        std::filesystem::remove("user.cfg.bak");
        {
            MemoryIniFile ini(u"user.cfg", MemoryIniFile::PerMachine{});
            EXPECT_EQ(ini.countSections(), 0);
            EXPECT_EQ(readBytes("user.cfg.bak"), bytes);
            ini.setInt(u"Qor", u"debugLevel", 0);
            EXPECT_TRUE(ini.save());
        }
        EXPECT_EQ(MemoryIniFile(u"user.cfg", MemoryIniFile::PerMachine{}).getInt(u"Qor", u"debugLevel"), 0);
        EXPECT_EQ(readBytes("user.cfg.bak"), bytes);
    }
}

TEST(MemoryIniFileTest, PerMachineNumbersOutOfRangeOrNotFiniteFallBackToTheDefault) {
    MemoryIniFile ini = fromText("[G]\nx = 1e308\ny=nan\nz=-inf\nw=0.25\nmode=99999\nnone=abc\nfine = 640 \n");
    EXPECT_EQ(ini.getDouble(u"G", u"x", 0.5, -1.0, 1.0), 0.5);
    EXPECT_EQ(ini.getDouble(u"G", u"y", -0.5, -1.0, 1.0), -0.5);
    EXPECT_EQ(ini.getDouble(u"G", u"z", 0.0, -1.0, 1.0), 0.0);
    EXPECT_EQ(ini.getDouble(u"G", u"w", 0.5, -1.0, 1.0), 0.25);
    EXPECT_EQ(ini.getDouble(u"G", u"missing", 0.75, 0.0, 1.0), 0.75);
    EXPECT_EQ(ini.getInt(u"G", u"mode", -1, -1, 16384), -1);
    EXPECT_EQ(ini.getInt(u"G", u"none", 7, 0, 10), 7);
    EXPECT_EQ(ini.getInt(u"G", u"fine", -1, -1, 16384), 640);
    // What is saved back is the default, so a bad value cannot outlive the run.
    EXPECT_EQ(ini.getString(u"G", u"x"), u"0.50000000");
    EXPECT_EQ(ini.getString(u"G", u"y"), u"-0.50000000");
    EXPECT_EQ(ini.getString(u"G", u"mode"), u"-1");
    EXPECT_EQ(ini.getString(u"G", u"missing"), u"0.75000000");
}

}  // namespace
