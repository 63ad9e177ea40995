#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "engine/Format.h"
#include "engine/Strings.h"

namespace {

const std::u16string kFail(kFormatFailure);

TEST(FormatTest, MixedConversionsFormatLikePrintf) {
    EXPECT_EQ(formatString(u"%s%s %s %.3lf.%s", u"ab", std::u16string(u"c"), u"d", 3.14159, u"e"), u"abc d 3.142.e");
    EXPECT_EQ(formatString(u"[%2d][%08x][%-4d][%+d][% d]", 5, 0xBEEFu, 7, 3, 4), u"[ 5][0000beef][7   ][+3][ 4]");
    EXPECT_EQ(formatString(u"%#x %X %o %i", 255, 255, 8, -12), u"0xff FF 10 -12");
    EXPECT_EQ(formatString(u"%e|%G|%F", 1500.0, 0.0001, 2.5), u"1.500000e+03|0.0001|2.500000");
    EXPECT_EQ(formatString(u"100%% done"), u"100% done");
}

TEST(FormatTest, IntegersTakeTheWidthOfTheirLengthPrefix) {
    EXPECT_EQ(formatString(u"%x", -1), u"ffffffff");
    EXPECT_EQ(formatString(u"%u", -1), u"4294967295");
    EXPECT_EQ(formatString(u"%lu", 4294967295u), u"4294967295");
    EXPECT_EQ(formatString(u"%d", 4294967295u), u"-1");
    EXPECT_EQ(formatString(u"%d", std::int64_t{0x100000005}), u"5");
    EXPECT_EQ(formatString(u"%hd %hu", 70000, -1), u"4464 65535");
    EXPECT_EQ(formatString(u"%hhd %hhu", 200, 300), u"-56 44");
    EXPECT_EQ(formatString(u"%I64d %lld", std::int64_t{-9000000000}, std::int64_t{9000000000}),
              u"-9000000000 9000000000");
    EXPECT_EQ(formatString(u"%llx %zu", -1, std::uint64_t{1} << 40), u"ffffffffffffffff 1099511627776");
    EXPECT_EQ(formatString(u"%I32u", std::int64_t{-1}), u"4294967295");
}

TEST(FormatTest, StarReadsWidthAndPrecisionFromArguments) {
    EXPECT_EQ(formatString(u"%*d|", 5, 42), u"   42|");
    EXPECT_EQ(formatString(u"%*d|", -5, 42), u"42   |");
    EXPECT_EQ(formatString(u"%.*f", 2, 1.0), u"1.00");
    EXPECT_EQ(formatString(u"%.*f", -1, 1.0), u"1.000000");
    EXPECT_EQ(formatString(u"%*d", u"5", 42), kFail);
}

TEST(FormatTest, StringsOfEitherKindServeEveryStringConversion) {
    EXPECT_EQ(formatString(u"%ls", u"wide"), formatString(u"%s", u"wide"));
    EXPECT_EQ(formatString(u"%-6ls|", u"ab"), u"ab    |");
    EXPECT_EQ(formatString(u"%hs|%S|%s", "caf\xC3\xA9", u"w", std::string("n")), u"café|w|n");
    EXPECT_EQ(formatString(u"[%5s][%-5s][%.2s]", u"ab", u"ab", u"abc"), u"[   ab][ab   ][ab]");
    EXPECT_EQ(formatString(u"%.1hs", "\xC3\xA9x"), u"é");
    EXPECT_EQ(formatString(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
}

TEST(FormatTest, PercentSignsInArgumentsAreShownLiterally) {
    EXPECT_EQ(formatString(u"%s|%d", u"100% %d %s", 1), u"100% %d %s|1");
    EXPECT_EQ(formatString(u"%%ls"), u"%ls");
}

TEST(FormatTest, PrecisionBoundsWhatIsReadFromUnterminatedText) {
    const char narrow[3] = {'a', 'b', 'c'};
    const char16_t wide[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(formatString(u"%.2hs%.3s", narrow, wide), u"abxyz");
    const char mixed[7] = {'a', '\xC3', '\xA9', '\xF0', '\x9F', '\x98', '\x80'};
    EXPECT_EQ(formatString(u"%.4hs", mixed), u"a\u00E9\U0001F600");
    EXPECT_EQ(formatString(u"%.3hs", mixed), std::u16string(u"a\u00E9\xD83D"));
}

TEST(FormatTest, PrecisionOnUtf8TextCutsTheDecodedText) {
    std::mt19937 random(777);
    const char pool[] = {'a',    '\x80', '\xBF', '\xC2', '\xC3', '\xE0', '\xA0',
                         '\xED', '\xF0', '\x90', '\xF4', '\x8F', '\xFF'};
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        for (int i = 0; i < 6; ++i) bytes.push_back(pool[random() % std::size(pool)]);
        const std::u16string whole = utf8ToWide(bytes);
        // An exactly sized copy, so the sanitizer sees any read past the terminator.
        auto copy = std::make_unique<char[]>(bytes.size() + 1);
        std::memcpy(copy.get(), bytes.c_str(), bytes.size() + 1);
        for (int precision = 0; precision <= static_cast<int>(whole.size()) + 1; ++precision)
            ASSERT_EQ(formatString(u"%.*hs", precision, copy.get()), whole.substr(0, precision));
    }
}

TEST(FormatTest, CharactersAndPointers) {
    EXPECT_EQ(formatString(u"%c%c|%3c", 'A', 0x20AC, u'z'), u"A€|  z");
    int target = 0;
    const std::u16string hex = formatString(u"%p", &target);
    ASSERT_EQ(hex.size(), sizeof(void*) * 2);
    EXPECT_EQ(std::stoull(std::string(hex.begin(), hex.end()), nullptr, 16), reinterpret_cast<std::uintptr_t>(&target));
    EXPECT_EQ(formatString(u"%p", static_cast<void*>(nullptr)), std::u16string(sizeof(void*) * 2, u'0'));
}

TEST(FormatTest, IntegersServeRealConversions) { EXPECT_EQ(formatString(u"%.1f %g", 3, 7u), u"3.0 7"); }

TEST(FormatTest, MismatchedOrMalformedFormatsFail) {
    EXPECT_EQ(formatString(u"%s", 5), kFail);
    EXPECT_EQ(formatString(u"%d", u"x"), kFail);
    EXPECT_EQ(formatString(u"%d", 1.5), kFail);
    EXPECT_EQ(formatString(u"%c", u"x"), kFail);
    EXPECT_EQ(formatString(u"%d %d", 1), kFail);
    EXPECT_EQ(formatString(u"50%"), kFail);
    EXPECT_EQ(formatString(u"%-5"), kFail);
    EXPECT_EQ(formatString(u"%y", 1), kFail);
    EXPECT_EQ(formatString(u"%\u00E9", 1), kFail);
    EXPECT_EQ(formatString(u"%hf", 1.0), kFail);
    EXPECT_EQ(formatString(u"%d", 1, 2, u"extra"), u"1");
}

TEST(FormatTest, ResultsOf65535UnitsSucceedAnd65536Fail) {
    const std::u16string longest(kFormatLimit, u'a');
    EXPECT_EQ(formatString(u"%s", longest), longest);
    EXPECT_EQ(formatString(u"%s!", longest), kFail);
    EXPECT_EQ(formatStringV(longest + u"a", {}), kFail);
    EXPECT_EQ(formatString(u"%65535s", u"").size(), kFormatLimit);
    EXPECT_EQ(formatString(u"%65536s", u""), kFail);
    EXPECT_EQ(formatString(u"x%65535d", 1), kFail);
}

TEST(FormatTest, HugeWidthsAndPrecisionsFailWithoutProducingThem) {
    EXPECT_EQ(formatString(u"%100000d", 1), kFail);
    EXPECT_EQ(formatString(u"%99999999999999999999d", 1), kFail);
    EXPECT_EQ(formatString(u"%*s", std::int64_t{1} << 40, u"x"), kFail);
    EXPECT_EQ(formatString(u"%.100000d", 1), kFail);
    EXPECT_EQ(formatString(u"%.100000f", 1.0), kFail);
    EXPECT_EQ(formatString(u"%.100000s", u"ab"), u"ab");
    // %g drops trailing zeros, so a huge precision only shows the exact value.
    EXPECT_EQ(formatString(u"%.100000g", 0.1), u"0.1000000000000000055511151231257827021181583404541015625");
}

}  // namespace
