#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "engine/MemoryIniFile.h"
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

}  // namespace
