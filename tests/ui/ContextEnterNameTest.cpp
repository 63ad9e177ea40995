#include <gtest/gtest.h>

#include "ui/ContextEnterName.h"

namespace {
TEST(ContextEnterNameTyping, KeepsSixteenUnitsWithoutSplittingAPair) {
    const std::u16string fifteen(15, u'x'), pair = u"\U0001F600";
    struct Case {
        std::u16string start, keys, expected;
    };
    for (const Case& c : {
             Case{u"",
                  u"A\x01\x7F\x1B"
                  u"b",
                  u"Ab"},                                       // control characters are ignored
             Case{fifteen, u"yz", fifteen + u"y"},              // a 17th unit is not taken
             Case{fifteen, pair, fifteen},                      // nor a pair that would need it
             Case{u"ab", pair + pair.substr(1), u"ab" + pair},  // a second half alone is nothing
             Case{u"ab", pair.substr(0, 1) + u"c", u"abc"},     // a first half whose partner never came
             Case{u"a" + pair, u"\b", u"a"},                    // backspace takes the pair whole
         }) {
        std::u16string name = c.start;
        for (char16_t k : c.keys) ContextEnterName::type(name, k);
        EXPECT_EQ(name, c.expected);
    }
    std::u16string name;
    EXPECT_EQ(ContextEnterName::type(name, ContextEnterName::kBackspace), ContextEnterName::Edit::kNone);  // silent
    EXPECT_EQ(ContextEnterName::keptName(u" Ann \t "), u" Ann");
    EXPECT_EQ(ContextEnterName::keptName(u"   "), u"");
    EXPECT_EQ(ContextEnterName::keptName(u"Ann\xD83D"), u"Ann");
}
}  // namespace
