#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/PackedData.h"
#include "support/UserDataHome.h"
#include "ui/ProfileManager.h"
#include "ui/RecordBytes.h"
#include "ui/UserFile.h"

namespace {
std::u16string names(const ProfileManager& m) {
    std::u16string all;
    for (int k = 0; k < ProfileManager::kSlots; ++k) all += m.getProfileName(k) + u"|";
    return all;
}

void storeRecord(const RecordBytes& r) {
    const std::u16string folder = getUserDataFolder();
    ASSERT_TRUE(writePackedFile(r.data(), static_cast<std::uint32_t>(r.size()), folder.substr(0, folder.size() - 1),
                                getProfileFileName(), u"2.79"));
}
}  // namespace

TEST(ProfileManagerTest, AFreshInstallHasNoProfiles) {
    UserDataHome home;
    ProfileManager m;
    EXPECT_EQ(m.countProfiles(), 0);
    EXPECT_EQ(m.current, 0);
    EXPECT_EQ(m.getProfileName(0), u"");
    EXPECT_EQ(m.getProfileName(-1), u"");
    EXPECT_EQ(m.getProfileName(10), u"");
}

TEST(ProfileManagerTest, NewProfilesFillTheSlotsInTurnAndBecomeCurrent) {
    UserDataHome home;
    ProfileManager m;
    m.createProfile(u"A");
    m.createProfile(u"B");
    m.createProfile(u"C");
    EXPECT_EQ(names(m), u"A|B|C||||||||");
    EXPECT_EQ(m.current, 2);
    EXPECT_NE(m.profiles[0].playerId, m.profiles[1].playerId);
    for (int k = 3; k < 10; ++k) {
        std::u16string name = u"P";  // two steps: GCC 12 warns falsely (-Wrestrict) on u"P" + ...
        name += static_cast<char16_t>(u'0' + k);
        m.createProfile(name);
    }
    EXPECT_EQ(m.countProfiles(), 10);
    m.createProfile(u"Eleventh");
    EXPECT_EQ(m.countProfiles(), 10);
    EXPECT_EQ(m.current, 9);
    EXPECT_EQ(m.getProfileName(9), u"P9");
}

TEST(ProfileManagerTest, DeletingClosesTheGapAndKeepsTheCurrentProfile) {
    UserDataHome home;
    ProfileManager m;
    for (const char16_t* n : {u"A", u"B", u"C"}) m.createProfile(n);
    m.current = 1;
    m.deleteProfile(1);
    EXPECT_EQ(names(m), u"A|C|||||||||");
    EXPECT_EQ(m.current, 1);  // now C
    // A profile before the current one goes: the current one is still C.
    m.deleteProfile(0);
    EXPECT_EQ(names(m), u"C||||||||||");
    EXPECT_EQ(m.current, 0);
    EXPECT_EQ(m.getProfileName(m.current), u"C");
    m.createProfile(u"D");
    m.current = 1;
    m.deleteProfile(1);  // the last one, current
    EXPECT_EQ(m.current, 0);
    m.deleteProfile(0);
    EXPECT_EQ(m.countProfiles(), 0);
    EXPECT_EQ(m.current, 0);
    m.deleteProfile(-1);
    m.deleteProfile(10);
    EXPECT_EQ(m.countProfiles(), 0);
}

TEST(ProfileManagerTest, DeletingOneOfTenLeavesTheLastSlotFree) {
    UserDataHome home;
    ProfileManager m;
    for (int k = 0; k < 10; ++k) m.createProfile(std::u16string(1, static_cast<char16_t>(u'a' + k)));
    m.profiles[9].duelGame[0] = 1;
    m.deleteProfile(4);
    EXPECT_EQ(m.countProfiles(), 9);
    EXPECT_TRUE(m.profiles[9].isFree());
    EXPECT_EQ(m.profiles[9].playerId, 0u);
    EXPECT_EQ(m.profiles[8].duelGame[0], 1);
    EXPECT_EQ(m.current, 8);  // "j" moved down with its slot
    EXPECT_EQ(m.getProfileName(m.current), u"j");
}

TEST(ProfileManagerTest, ALongNameIsCutWhenItsProfileBecomesCurrentAndSavedCut) {
    UserDataHome home;
    {
        ProfileManager m;
        m.createProfile(u"ABCDEFGHIJKLMNOPQRST");
        EXPECT_EQ(m.getProfileName(0), u"ABCDEFGHIJKLMNOP");
    }
    ProfileManager back;
    EXPECT_EQ(back.getProfileName(0), u"ABCDEFGHIJKLMNOP");
}

TEST(ProfileManagerTest, TheRecordLayoutAndTheSavedGamesRoundTrip) {
    UserDataHome home;
    std::uint32_t id = 0;
    {
        ProfileManager m;
        m.createProfile(u"First");
        m.createProfile(u"Second");
        m.profiles[1].invasionGame[0] = 1;
        m.profiles[1].invasionGame[1839] = 0xAB;
        m.profiles[1].duelVariant2Game[1831] = 0xCD;
        id = m.profiles[1].playerId;
        RecordBytes r(ProfileManager::kSize);
        m.toBytes(r);
        EXPECT_EQ(r.getS32(0), 1);
        EXPECT_EQ(r.getU32(4), 0u);
        const std::size_t slot1 = 8 + 9424;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + slot1)), "Second");
        EXPECT_EQ(r.getU32(slot1 + 256), id);
        EXPECT_EQ(r.getU8(slot1 + 264), 1);
        EXPECT_EQ(r.getU8(slot1 + 264 + 1839), 0xAB);
        EXPECT_EQ(r.getU8(slot1 + 7592 + 1831), 0xCD);
        EXPECT_EQ(r.getU8(8 + 9424 * 2), 0);
    }
    ProfileManager back;
    EXPECT_EQ(back.current, 1);
    EXPECT_EQ(back.getProfileName(0), u"First");
    EXPECT_EQ(back.profiles[1].playerId, id);
    EXPECT_EQ(back.profiles[1].invasionGame[1839], 0xAB);
    EXPECT_EQ(back.profiles[1].duelVariant2Game[1831], 0xCD);
}

TEST(ProfileManagerTest, ADamagedCurrentIndexOrNameIsMendedOnLoad) {
    for (std::int32_t bad : {-1, 10, 1000000, 3}) {
        UserDataHome home;
        RecordBytes r(ProfileManager::kSize);
        r.putBytes(8, "Solo", 5);
        std::uint8_t full[256];
        std::memset(full, 'z', sizeof full);
        r.putBytes(8 + 9424, full, sizeof full);
        r.putS32(0, bad);  // 3 names a free slot
        storeRecord(r);
        ProfileManager m;
        EXPECT_EQ(m.current, 0) << bad;
        EXPECT_EQ(m.getProfileName(0), u"Solo");
        EXPECT_EQ(m.getProfileName(1).size(), 255u);
        EXPECT_FALSE(std::filesystem::exists(home.file("Torvane2Xmas.pro.bak")));
    }
}

TEST(ProfileManagerTest, GapsBetweenNamedSlotsCloseOnLoadAndTheCurrentProfileFollows) {
    // current: a named slot that moves down, then a free slot between named ones.
    for (const auto& [stored, expected] : {std::pair{7, 2}, std::pair{5, 0}}) {
        UserDataHome home;
        RecordBytes r(ProfileManager::kSize);
        r.putS32(0, stored);
        r.putBytes(8 + 9424 * 1, "Ann", 4);
        r.putBytes(8 + 9424 * 3, "Bob", 4);
        r.putBytes(8 + 9424 * 7, "Cid", 4);
        r.putU8(8 + 9424 * 7 + ProfileData::kInvasionOffset, 1);  // Cid's saved game goes with him
        storeRecord(r);
        ProfileManager m;
        EXPECT_EQ(names(m), u"Ann|Bob|Cid||||||||") << stored;
        EXPECT_EQ(m.current, expected) << stored;
        EXPECT_EQ(m.profiles[2].invasionGame[0], 1);
    }
}

TEST(ProfileManagerTest, ADamagedFileLeavesEverySlotFreeAndIsKeptAsABackup) {
    UserDataHome home;
    {
        ProfileManager m;
        m.createProfile(u"Keep me");
    }
    const std::string path = home.file("Torvane2Xmas.pro");
    std::string bytes = TempFolder::read(path);
    bytes[bytes.size() / 2] ^= 0x55;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    {
        ProfileManager m;
        EXPECT_EQ(m.countProfiles(), 0);
    }
    EXPECT_EQ(TempFolder::read(path + ".bak"), bytes);
}
