#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "engine/Strings.h"

namespace {

std::u16string replaced(std::u16string text, std::u16string_view from, std::u16string_view to) {
    replaceAll(text, from, to);
    return text;
}

std::u16string trimmed(std::u16string text) {
    trim(text);
    return text;
}

using Lines = std::vector<std::u16string>;

TEST(StringsTest, ReplaceAllNeverRescansInsertedText) {
    EXPECT_EQ(replaced(u"aaa", u"a", u"aa"), u"aaaaaa");
    EXPECT_EQ(replaced(u"aaaa", u"aa", u"a"), u"aa");
    EXPECT_EQ(replaced(u"%ls and %ls", u"%ls", u"%s"), u"%s and %s");
    EXPECT_EQ(replaced(u"abc", u"", u"x"), u"abc");
    EXPECT_EQ(replaced(u"abcabc", u"bc", u""), u"aa");
}

TEST(StringsTest, TrimRemovesBlanksTabsAndLineEndsOnly) {
    EXPECT_EQ(trimmed(u" \t\r\na b\r\n \t"), u"a b");
    EXPECT_EQ(trimmed(u" \r\n\t "), u"");
    EXPECT_EQ(trimmed(u"\u00A0x\v"), u"\u00A0x\v");
}

TEST(StringsTest, FileNameIsThePartAfterTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(getFileName(std::u16string_view(u"data\\maps/one.map")), u"one.map");
    EXPECT_EQ(getFileName(std::u16string_view(u"a/b\\c")), u"c");
    EXPECT_EQ(getFileName(std::u16string_view(u"plain")), u"plain");
    EXPECT_EQ(getFileName(std::u16string_view(u"dir/")), u"");
    EXPECT_EQ(getFileName(std::string_view("x\\y.txt")), "y.txt");
}

TEST(StringsTest, SplitKeepsInnerEmptyLinesAndDropsAnEmptyTail) {
    EXPECT_EQ(splitString(u"a\r\n\r\nb\n"), (Lines{u"a", u"", u"b"}));
    EXPECT_EQ(splitString(u"a\nb"), (Lines{u"a", u"b"}));
    EXPECT_EQ(splitString(u""), Lines{});
    EXPECT_EQ(splitString(u"\n"), Lines{u""});
    EXPECT_EQ(splitString(u"a\r\r\nb\r"), (Lines{u"a\r", u"b\r"}));
}

TEST(StringsTest, CopyWideStringStopsAtTheFirstNul) {
    EXPECT_EQ(copyWideString(std::u16string_view(u"ab\0cd", 5)), u"ab");
    EXPECT_EQ(copyWideString(u"abc"), u"abc");
}

TEST(StringsTest, Utf8DecodesEveryLengthAndSurrogateHalves) {
    EXPECT_EQ(utf8ToWide("A\xC3\xA9\xE2\x82\xAC"), u"Aé€");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(utf8ToWide("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), std::u16string(1, char16_t(0xD800)));
    EXPECT_EQ(utf8ToWide(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(makeWideString(nullptr), u"");
}

TEST(StringsTest, Utf8ReplacesEachBadByteOrBrokenSequence) {
    EXPECT_EQ(utf8ToWide("\x80x"), u"\uFFFDx");
    EXPECT_EQ(utf8ToWide("\xFF\xF5"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong "/"
    EXPECT_EQ(utf8ToWide("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");  // overlong "/"
    EXPECT_EQ(utf8ToWide("\xF0\x8F\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above 10FFFF
    EXPECT_EQ(utf8ToWide("\xE2\x82"
                         "A"),
              u"\uFFFDA");
}

TEST(StringsTest, Utf8CutOffAtTheEndGivesOneReplacement) {
    // Exactly sized heap copies, so reading one byte too far is caught by the sanitizer.
    for (std::string text : {"a\xE2\x82", "a\xF0\x9F\x98", "a\xC3"}) {
        auto bytes = std::make_unique<char[]>(text.size());
        text.copy(bytes.get(), text.size());
        EXPECT_EQ(utf8ToWide(std::string_view(bytes.get(), text.size())), u"a\uFFFD") << text.size();
    }
}

TEST(StringsTest, WideToUtf8EncodesPairsTogetherAndLoneHalvesAlone) {
    EXPECT_EQ(wideToUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(wideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const char16_t reversed[] = {0xDE00, 0xD83D, 0};
    EXPECT_EQ(wideToUtf8(reversed), "\xED\xB8\x80\xED\xA0\xBD");
    const char16_t trailingHigh[] = {u'x', 0xD83D, 0};
    EXPECT_EQ(wideToUtf8(trailingHigh), "x\xED\xA0\xBD");
}

TEST(StringsTest, WideSurvivesARoundTripThroughUtf8) {
    std::u16string every;
    for (char32_t c = 0; c <= 0xFFFF; ++c) every.push_back(static_cast<char16_t>(c));
    EXPECT_EQ(utf8ToWide(wideToUtf8(every)), every);

    // Random mixes of halves, pairs and plain units, with a fixed seed.
    std::mt19937 random(12345);
    const char16_t pool[] = {u'a', 0x7FF, 0x800, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFD, 0xFFFF};
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        for (int i = 0; i < 8; ++i) text.push_back(pool[random() % std::size(pool)]);
        ASSERT_EQ(utf8ToWide(wideToUtf8(text)), text);
    }
}

TEST(StringsTest, LowerCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(toLowerAscii(u"AZ@[az\u00C0\u0130"), u"az@[az\u00C0\u0130");
}

}  // namespace
