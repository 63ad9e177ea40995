#include <gtest/gtest.h>

#include <cstring>

#include "engine/Md5.h"
#include "engine/PackedData.h"
#include "support/BareEngine.h"

namespace {

constexpr std::uint32_t kProfileSize = 94248;
constexpr std::uint32_t kConfigurationSize = 14696;
const std::u16string kVersion = u"2.79";

std::vector<std::uint8_t> record(std::uint32_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> r(size);
    for (std::uint32_t i = 0; i < size; ++i) r[i] = static_cast<std::uint8_t>((i * seed) >> 3);
    return r;
}

// A container of `payload` (length field and stream) signed with `key`.
std::vector<std::uint8_t> signedContainer(const std::vector<std::uint8_t>& payload, std::uint32_t key) {
    std::vector<std::uint8_t> c(64 + payload.size());
    if (!payload.empty()) std::memcpy(c.data() + 64, payload.data(), payload.size());
    md5Keyed(c.data() + 48, key, payload.data(), static_cast<int>(payload.size()));
    return c;
}

TEST(PackedDataTest, BothRecordSizesRoundTripUnderTheirOwnNameOnly) {
    BareEngine bare;
    const std::string folder = bare.folder.string();
    for (std::uint32_t size : {kProfileSize, kConfigurationSize}) {
        const auto original = record(size, static_cast<std::uint8_t>(size));
        ASSERT_TRUE(writePackedFile(original.data(), size, utf8ToWide(folder), u"Torvane2Xmas.hst", kVersion));
        std::vector<std::uint8_t> back(size, 0);
        EXPECT_TRUE(readPackedFile(back.data(), size, utf8ToWide(folder), u"Torvane2Xmas.hst", kVersion));
        EXPECT_EQ(back, original);
        std::filesystem::copy_file("Torvane2Xmas.hst", "Torvane2Xmas.pro",
                                   std::filesystem::copy_options::overwrite_existing);
        std::vector<std::uint8_t> untouched(size, 9);
        EXPECT_FALSE(readPackedFile(untouched.data(), size, utf8ToWide(folder), u"Torvane2Xmas.pro", kVersion));
        EXPECT_FALSE(readPackedFile(untouched.data(), size, utf8ToWide(folder), u"Torvane2Xmas.hst", u"2.80"));
        EXPECT_EQ(untouched, std::vector<std::uint8_t>(size, 9));
        EXPECT_FALSE(std::filesystem::exists("Torvane2Xmas.hst.tmp"));
    }
}

TEST(PackedDataTest, EveryByteFromTheDigestOnIsProtectedButTheLabelsAreNot) {
    const auto original = record(300, 5);
    const std::uint32_t key = hashString(u"Torvane2Xmas.pro2.79");
    PackedData packed;
    ASSERT_TRUE(packed.pack(original.data(), 300, key));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(packed.pData)), "Torvane2Xmas");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(packed.pData + 32)), "2.79");
    std::vector<std::uint8_t> container(packed.pData, packed.pData + packed.size);
    for (std::size_t i = 0; i < container.size(); ++i) {
        auto changed = container;
        changed[i] ^= 0x01;
        PackedData reader;
        EXPECT_EQ(reader.unpack(changed.data(), static_cast<std::uint32_t>(changed.size()), key, 300), i < 48) << i;
    }
}

TEST(PackedDataTest, ShortLongAndMislabelledContainersAreRefused) {
    const std::uint32_t key = 77;
    PackedData reader;
    for (std::uint32_t n : {0u, 1u, 2u, 3u}) {
        const auto tiny = signedContainer(std::vector<std::uint8_t>(n, 0), key);
        EXPECT_FALSE(reader.unpack(tiny.data(), static_cast<std::uint32_t>(tiny.size()), key, 16)) << n;
    }
    // A huge length under a valid digest is refused before anything is allocated.
    const auto huge = signedContainer({0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C}, key);
    EXPECT_FALSE(reader.unpack(huge.data(), static_cast<std::uint32_t>(huge.size()), key, kProfileSize));
    PackedData writer;
    const auto original = record(kConfigurationSize, 3);
    ASSERT_TRUE(writer.pack(original.data(), kConfigurationSize, key));
    EXPECT_FALSE(reader.unpack(writer.pData, writer.size, key, kProfileSize));
    EXPECT_FALSE(reader.unpack(writer.pData, writer.size - 1, key, kConfigurationSize));
    EXPECT_TRUE(reader.unpack(writer.pData, writer.size, key, kConfigurationSize));
    EXPECT_EQ(reader.size, kConfigurationSize);
}

TEST(PackedDataTest, AnEmptyRecordWritesNoFileAndHashesFollowTheRule) {
    BareEngine bare;
    std::uint8_t nothing = 0;
    EXPECT_FALSE(writePackedFile(&nothing, 0, utf8ToWide(bare.folder.string()), u"x.pro", kVersion));
    EXPECT_FALSE(std::filesystem::exists("x.pro"));
    EXPECT_EQ(hashString(u""), 0u);
    EXPECT_EQ(hashString(u"ab"), 97u * 33u + 98u);
}

}  // namespace
