#include <gtest/gtest.h>

#include <set>
#include <string>

#include "language/StringIds.h"

namespace {

int idOfName(std::u16string_view name) {
    for (const StringIdName& entry : stringIdNames()) {
        if (name == entry.name) return entry.id;
    }
    return -1;
}

TEST(StringIds, AnchorIdsHaveTheirFixedNumbers) {
    EXPECT_EQ(StringId::NULL_, 0);
    EXPECT_EQ(StringId::LANGUAGEREADINGORDER, 4);
    EXPECT_EQ(StringId::DIK_UNKNOWN, 10);
    EXPECT_EQ(StringId::DIK_MEDIASELECT, 154);
    EXPECT_EQ(StringId::COUNTRYNONE, 199);
    EXPECT_EQ(StringId::COUNTRYZW, 439);
    EXPECT_EQ(StringId::CONFIRM, 440);
    EXPECT_EQ(StringId::RANKING1, 658);
    EXPECT_EQ(StringId::MUTATORSDESC, 879);
    EXPECT_EQ(StringId::IOS_RATINGTIPFREEFORALL, 888);
    EXPECT_EQ(kStringIdCount, 889);
}

TEST(StringIds, UnusedNumbersKeepTheirPlaces) {
    EXPECT_EQ(StringId::STOP, 459);
    EXPECT_EQ(StringId::PLAYERS, 462);
    EXPECT_EQ(StringId::CAMPAIGNHELP64, 750);
    EXPECT_EQ(StringId::YOUHAVEWON, 752);
    EXPECT_EQ(StringId::FFAHINT, 833);
    EXPECT_EQ(StringId::IOS_QRLEGAL1, 844);
    EXPECT_EQ(StringId::IOS_PROGRESSLOST, 860);
    EXPECT_EQ(StringId::IOS_PLEASEWAIT, 864);
    EXPECT_EQ(StringId::IOS_GDPR_NOADS, 876);

    const std::set<int> unused = {460, 461, 545, 546, 599, 600, 601, 602, 603, 604, 605, 606, 607, 608, 609,
                                  610, 611, 612, 613, 614, 751, 834, 835, 836, 837, 838, 839, 840, 841, 842,
                                  843, 861, 862, 863, 866, 867, 868, 869, 870, 871, 872, 877, 878};
    std::set<int> named;
    for (const StringIdName& entry : stringIdNames()) named.insert(entry.id);
    for (int id = 0; id < kStringIdCount; ++id) {
        EXPECT_NE(named.count(id) == 1, unused.count(id) == 1) << "id " << id;
    }
}

TEST(StringIds, FamiliesAreConsecutive) {
    EXPECT_EQ(StringId::RANKING10 - StringId::RANKING1, 9);
    EXPECT_EQ(StringId::STAGETEXT3 - StringId::STAGETEXT0, 3);
    EXPECT_EQ(StringId::IOS_RATINGTIPFREEFORALL - StringId::IOS_RATINGTIPCLASSICWAR, 4);
    EXPECT_EQ(StringId::DIK_JOYBUTTON31 - StringId::DIK_JOYBUTTON0, 31);
    EXPECT_EQ(StringId::DIK_MOUSEBUTTON3 - StringId::DIK_MOUSEUP, 7);
    EXPECT_EQ(StringId::COUNTRYAF, StringId::COUNTRYNONE + 1);
    EXPECT_EQ(StringId::ENUMGAMETYPE4 - StringId::ENUMGAMETYPE0, 4);
    EXPECT_EQ(StringId::ENUMDIFFICULTY4 - StringId::ENUMDIFFICULTY0, 4);
}

TEST(StringIds, NameTableIsAscendingUniqueAndWellFormed) {
    const auto names = stringIdNames();
    ASSERT_EQ(names.size(), 846u);
    std::set<std::u16string> seen;
    int previous = -1;
    for (const StringIdName& entry : names) {
        EXPECT_GT(entry.id, previous);
        previous = entry.id;
        const std::u16string name(entry.name);
        EXPECT_TRUE(seen.insert(name).second) << "duplicate name at id " << entry.id;
        ASSERT_FALSE(name.empty());
        for (char16_t c : name) {
            EXPECT_TRUE((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_') << "id " << entry.id;
        }
    }
}

TEST(StringIds, NamesMatchTheConstants) {
    EXPECT_EQ(idOfName(u"NULL"), StringId::NULL_);
    EXPECT_EQ(idOfName(u"DIK_UNKNOWN"), StringId::DIK_UNKNOWN);
    EXPECT_EQ(idOfName(u"COUNTRYNONE"), StringId::COUNTRYNONE);
    EXPECT_EQ(idOfName(u"COUNTRYME"), 437);
    EXPECT_EQ(idOfName(u"CONFIRM"), StringId::CONFIRM);
    EXPECT_EQ(idOfName(u"IOS_RATINGTIPFREEFORALL"), 888);
    EXPECT_EQ(idOfName(u"PLACEHOLDER1"), -1);
}

}  // namespace
