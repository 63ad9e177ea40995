#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "engine/WadDirectory.h"

namespace {

TEST(WadDirectoryTest, NamesDecodeScrambledOrPlainAndNeedRoomForTheirNul) {
    std::uint8_t field[80] = {};
    std::memcpy(field, "gfx/palm.tga", 12);
    EXPECT_EQ(WadDirectory::decodeName(field), u"gfx/palm.tga");
    std::memset(field, 'a', sizeof field);
    EXPECT_EQ(WadDirectory::decodeName(field), std::u16string(80, u'a'));
    std::uint8_t filler[80], entry[92];
    std::memset(filler, 0x41, sizeof filler);
    EXPECT_TRUE(WadDirectory::encodeEntry(std::u16string(79, u'n'), filler, 8, 1, 1, entry));
    EXPECT_EQ(WadDirectory::decodeName(entry), std::u16string(79, u'n'));
    EXPECT_FALSE(WadDirectory::encodeEntry(std::u16string(80, u'n'), filler, 8, 1, 1, entry));
    EXPECT_FALSE(WadDirectory::encodeEntry(u"\u00E9t\u00E9", filler, 8, 1, 1, entry));
    EXPECT_TRUE(WadDirectory::encodeEntry(u"sfx/\u00E9t\u00E9.ogg", filler, 8, 1, 1, entry));
    EXPECT_EQ(WadDirectory::decodeName(entry), u"sfx/\u00E9t\u00E9.ogg");
}

// Every single-bit change of a small archive is either refused by the checks or leaves
// entries that lie inside the file and inflate to their size or fail cleanly.
TEST(WadDirectoryTest, BitFlippedArchivesAreRefusedOrSafeToRead) {
    std::vector<std::uint8_t> plain(200, 'p');
    uLongf n = compressBound(plain.size());
    std::vector<std::uint8_t> packed(n);
    compress(packed.data(), &n, plain.data(), plain.size());
    packed.resize(n);
    std::vector<std::uint8_t> archive(8 + 2 * 92);
    WadDirectory::putU32(archive.data(), 2);
    WadDirectory::putU32(archive.data() + 4, 2);
    std::uint8_t filler[80] = {};
    WadDirectory::encodeEntry(u"a", filler, static_cast<std::uint32_t>(archive.size()), 3, 3, archive.data() + 8);
    archive.insert(archive.end(), {'a', 'b', 'c'});
    WadDirectory::encodeEntry(u"b", filler, static_cast<std::uint32_t>(archive.size()), 200,
                              static_cast<std::uint32_t>(n), archive.data() + 100);
    archive.insert(archive.end(), packed.begin(), packed.end());
    for (std::size_t bit = 0; bit < archive.size() * 8; ++bit) {
        auto bytes = archive;
        bytes[bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
        const auto size = static_cast<std::uint32_t>(bytes.size());
        std::int32_t version, count;
        std::u16string why;
        std::vector<WadEntry> entries;
        if (WadDirectory::readHeader(bytes.data(), size, version, count, why) != WadDirectory::Status::kOk) continue;
        if (WadDirectory::parseEntries(bytes.data() + 8, count, size, u"w", entries, why) != WadDirectory::Status::kOk)
            continue;
        for (const WadEntry& e : entries) {
            ASSERT_LE(std::uint64_t{e.offset} + e.storedSize, size);
            if (e.storedSize == e.size) continue;
            std::vector<std::uint8_t> out(e.size);
            WadDirectory::inflateEntry(bytes.data() + e.offset, e.storedSize, out.data(), e.size);
        }
    }
}

}  // namespace
