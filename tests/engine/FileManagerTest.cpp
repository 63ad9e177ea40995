#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "engine/FileManager.h"
#include "engine/MemoryFile.h"
#include "engine/Random.h"
#include "engine/WadDirectory.h"
#include "support/BareEngine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, Bytes>;

Bytes repetitive(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>('a' + (i / 7 + seed) % 5);
    return b;
}

Bytes noise(std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(Random::step() >> 24);
    return b;
}

// Writes `files` under "src/" and packs them with the engine's writer into `archive`.
void pack(BareEngine& bare, const Files& files, const std::string& archive,
          FileManager::Compression compression = FileManager::Compression::kZlib) {
    for (const auto& [name, bytes] : files) writeBytes(bare.folder / "src" / name, bytes);
    std::filesystem::current_path(bare.folder / "src");
    FileManager& writer = bare.useFileManager(1, 0);
    const std::u16string path = utf8ToWide((bare.folder / archive).string());
    writer.useWad(path);
    for (const auto& entry : files) writer.open(utf8ToWide(entry.first));
    ASSERT_TRUE(writer.writeWad(path, path, compression));
    std::filesystem::current_path(bare.folder);
    bare.useFileManager(0, 1);
}

Bytes contents(const std::string& name) {
    MemoryFile file(0, utf8ToWide(name));
    return Bytes(file.block.pData, file.block.pData + file.block.size);
}

// An archive laid out by hand: one entry per (name, stored bytes, size) at `offset`.
struct RawEntry {
    std::string name;
    Bytes stored;
    std::uint32_t size;
    bool scramble = true;
};

Bytes rawArchive(const std::vector<RawEntry>& entries, std::int32_t version = 2) {
    Bytes out(8 + 92 * entries.size());
    WadDirectory::putU32(out.data(), static_cast<std::uint32_t>(version));
    WadDirectory::putU32(out.data() + 4, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t* raw = out.data() + 8 + 92 * i;
        std::memcpy(raw, entries[i].name.c_str(), entries[i].name.size());
        if (entries[i].scramble)
            for (int k = 0; k < 80; ++k) raw[k] ^= 0xB3;
        WadDirectory::putU32(raw + 80, static_cast<std::uint32_t>(out.size()));
        WadDirectory::putU32(raw + 84, entries[i].size);
        WadDirectory::putU32(raw + 88, static_cast<std::uint32_t>(entries[i].stored.size()));
        out.insert(out.end(), entries[i].stored.begin(), entries[i].stored.end());
    }
    return out;
}

Bytes zlibOf(const Bytes& plain) {
    uLongf n = compressBound(plain.size());
    Bytes out(n);
    compress(out.data(), &n, plain.data(), plain.size());
    out.resize(n);
    return out;
}

void mount(const std::string& archive) {
    qor->pFileManager->useWad(utf8ToWide((std::filesystem::current_path() / archive).string()));
}

TEST(FileManagerTest, EntriesOfManyKindsComeBackExactly) {
    BareEngine bare;
    Files files;
    for (int i = 0; i < 150; ++i) files["gfx/r" + std::to_string(i) + ".tga"] = repetitive(100 + 37 * i, i % 5);
    for (int i = 0; i < 50; ++i) files["snd/n" + std::to_string(i) + ".ogg"] = noise(10 + 11 * i);
    files["empty"] = {};
    files[std::string(79, 'x')] = repetitive(500, 1);  // the longest name that fits
    pack(bare, files, "game.dat");
    mount("game.dat");
    for (const auto& [name, bytes] : files) {
        const WadEntry* e = qor->pFileManager->getEntry(utf8ToWide(name));
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->offset % 8, 0u);
        if (name[0] == 'g') {
            EXPECT_LT(e->storedSize, e->size) << name;
        } else if (name[0] == 's') {
            EXPECT_EQ(e->storedSize, e->size) << name;
        }
        EXPECT_EQ(contents(name), bytes) << name;
    }
}

TEST(FileManagerTest, ZopfliEntriesReadBackAndBeatTwoPercent) {
    BareEngine bare;
    Files files{{"a.txt", repetitive(4000, 0)}, {"b.bin", noise(300)}};
    pack(bare, files, "z.dat", FileManager::Compression::kZopfli);
    mount("z.dat");
    EXPECT_LT(qor->pFileManager->getEntry(u"a.txt")->storedSize, 4000u);
    EXPECT_EQ(qor->pFileManager->getEntry(u"b.bin")->storedSize, 300u);
    for (const auto& [name, bytes] : files) EXPECT_EQ(contents(name), bytes);
}

TEST(FileManagerTest, StoredEntriesAreAlignedAndTheDirectoryIsScrambled) {
    BareEngine bare;
    pack(bare, {{"a", Bytes(10, 1)}, {"b", Bytes(3, 2)}, {"c", Bytes(8, 3)}}, "s.dat",
         FileManager::Compression::kStore);
    const Bytes raw = readBytes("s.dat");
    EXPECT_EQ(WadDirectory::getU32(raw.data() + 8 + 80), 288u);
    EXPECT_EQ(WadDirectory::getU32(raw.data() + 8 + 92 + 80), 304u);
    EXPECT_EQ(WadDirectory::getU32(raw.data() + 8 + 184 + 80), 312u);
    EXPECT_TRUE(raw[8] & 0x80);
    EXPECT_EQ(raw.size(), 320u);
}

TEST(FileManagerTest, TheSameFilesAndSeedGiveTheSameArchive) {
    BareEngine bare;
    const Files files{{"z/one", repetitive(999, 2)}, {"a/two", noise(77)}, {"m", repetitive(5, 0)}};
    Random::seed(5);
    pack(bare, files, "first.dat");
    Random::seed(5);
    pack(bare, files, "second.dat");
    EXPECT_EQ(readBytes("first.dat"), readBytes("second.dat"));
}

TEST(FileManagerTest, AStoredEntryIsADiskStreamAtItsOffset) {
    BareEngine bare(true);
    writeBytes("plain.dat", rawArchive({{"x", Bytes{'h', 'i', '!'}, 3, false}}));
    mount("plain.dat");
    std::uint32_t size = 0;
    auto stream = qor->pFileManager->open(u"x", &size);
    char buffer[3];
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(stream->read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "hi!");
}

TEST(FileManagerTest, MountingTwiceReadsOnceAndTheFirstArchiveWins) {
    BareEngine bare(true);
    writeBytes("one.dat", rawArchive({{"same", Bytes{'1'}, 1}}));
    writeBytes("two.dat", rawArchive({{"same", Bytes{'2', '2'}, 2}, {"other", zlibOf(Bytes(50, 'o')), 50}}));
    mount("one.dat");
    mount("one.dat");
    mount("two.dat");
    FileManager& files = *qor->pFileManager;
    EXPECT_EQ(files.countMountedWads(), 2);
    EXPECT_TRUE(files.exists(utf8ToWide((bare.folder / "one.dat").string())));
    EXPECT_EQ(contents("same"), Bytes{'1'});
    EXPECT_EQ(contents("other"), Bytes(50, 'o'));
    EXPECT_FALSE(files.exists(u"Same"));
    EXPECT_FALSE(files.exists(u"missing"));
}

TEST(FileManagerTest, HighResolutionUsesItsOwnArchiveAndTheOverrideFolder) {
    BareEngine bare(true);
    bare.engine.hq2x = 2;
    writeBytes("art.dat.hq2x", rawArchive({{"in/archive", Bytes{'a'}, 1}}));
    writeText("gfx/palm.tga", "disk");
    writeText("override.hq2x/gfx/palm.tga", "override");
    mount("art.dat");
    EXPECT_TRUE(qor->pFileManager->exists(u"in/archive"));
    EXPECT_EQ(qor->pFileManager->resolvePath(u"gfx/palm.tga"), u"override.hq2x/gfx/palm.tga");
    EXPECT_EQ(qor->pFileManager->resolvePath(u"gfx/sea.tga"), u"gfx/sea.tga");
    qor->pFileManager->bDiskOnly = 1;
    EXPECT_EQ(contents("gfx/palm.tga"), (Bytes{'o', 'v', 'e', 'r', 'r', 'i', 'd', 'e'}));
}

TEST(FileManagerTest, BuildingRecordsEachFileOnceUnderTheCurrentArchive) {
    BareEngine bare;
    writeText("a.txt", "a");
    writeText("b.txt", "b");
    FileManager& files = bare.useFileManager(1, 0);
    files.useWad(u"first.dat");
    files.open(u"a.txt");
    files.open(u"a.txt");
    files.useWad(u"second.dat");
    files.open(u"b.txt");
    files.bDiskOnly = 1;
    files.open(u"b.txt");
    files.open(u"a.txt");
    EXPECT_EQ(files.entries.size(), 2u);
    EXPECT_EQ(files.getEntry(u"a.txt")->wadName, u"first.dat");
    EXPECT_EQ(files.getEntry(u"b.txt")->wadName, u"second.dat");
    EXPECT_EXIT(FileManager(1, 1), testing::ExitedWithCode(255), "Statement: !bUseWad");
}

TEST(FileManagerTest, MissingFilesAndEntriesAreFatal) {
    BareEngine bare;
    EXPECT_EXIT(qor->pFileManager->verifyFile(u"nothing.tga"), testing::ExitedWithCode(255),
                "File nothing.tga verification failed \\(errno");
    EXPECT_EXIT(qor->pFileManager->open(u"nothing.tga"), testing::ExitedWithCode(255),
                "Failed to open file 'nothing.tga'");
    bare.useFileManager(0, 1);
    EXPECT_EXIT(mount("nothing.dat"), testing::ExitedWithCode(255), "Failed to open file");
    EXPECT_EXIT(qor->pFileManager->verifyFile(u"nothing.tga"), testing::ExitedWithCode(255),
                "File 'nothing.tga' does not exist.");
    EXPECT_EXIT(qor->pFileManager->open(u"nothing.tga"), testing::ExitedWithCode(255),
                "WAD entry nothing.tga not found.");
}

TEST(FileManagerTest, ForeignTruncatedAndOversizedArchivesAreRefused) {
    BareEngine bare(true);
    const Bytes good = rawArchive({{"a", Bytes(20, 'a'), 20}, {"b", zlibOf(Bytes(300, 'b')), 300}});
    auto refuse = [](const Bytes& bytes, const char* why) {
        writeBytes("bad.dat", bytes);
        EXPECT_EXIT(mount("bad.dat"), testing::ExitedWithCode(255), why);
    };
    refuse(rawArchive({{"a", Bytes(2), 2}}, 3), "WAD .*bad.dat is damaged or no data archive: version 3 instead of 2");
    // A folder in the archive's place is named with the reason.
    std::filesystem::create_directory("folder.dat");
    EXPECT_EXIT(mount("folder.dat"), testing::ExitedWithCode(255),
                "Failed to open file '.*folder.dat' .*not a regular file");
    refuse(Bytes(good.begin(), good.begin() + 5), "is damaged: the file is only 5 bytes long");
    refuse(Bytes(good.begin(), good.begin() + 100), "directory of 2 entries does not fit in 100 bytes");
    refuse(Bytes(good.begin(), good.end() - 1), "entry 'b' .* lies outside the file");
    Bytes huge = good;
    WadDirectory::putU32(huge.data() + 4, 0x7FFFFFFF);
    refuse(huge, "directory of 2147483647 entries");
    WadDirectory::putU32(huge.data() + 4, 0xFFFFFFFF);
    refuse(huge, "directory of -1 entries");
    Bytes giant = good;
    WadDirectory::putU32(giant.data() + 8 + 84, 0x7FFFFFFF);
    refuse(giant, "entry 'a' claims 2147483647 bytes");
    Bytes inflated = good;
    WadDirectory::putU32(inflated.data() + 8 + 92 + 84, 100000000);
    refuse(inflated, "entry 'b' cannot inflate");
}

TEST(FileManagerTest, CorruptCompressedEntriesAreFatalWhenRead) {
    BareEngine bare(true);
    Bytes flipped = rawArchive({{"b", zlibOf(Bytes(300, 'b')), 300}});
    flipped[8 + 92 + 4] ^= 0x10;
    writeBytes("flipped.dat", flipped);
    mount("flipped.dat");
    EXPECT_EXIT(contents("b"), testing::ExitedWithCode(255),
                "WAD entry 'b' in '.*flipped.dat' is damaged: its compressed data cannot be unpacked");
    writeBytes("short.dat", rawArchive({{"c", zlibOf(Bytes(300, 'c')), 301}}));
    mount("short.dat");
    EXPECT_EXIT(contents("c"), testing::ExitedWithCode(255),
                "WAD entry 'c' in '.*short.dat' is damaged: it does not unpack to its 301 bytes");
}

}  // namespace
