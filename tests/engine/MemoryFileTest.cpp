#include <gtest/gtest.h>

#include "engine/MemoryFile.h"
#include "support/BareEngine.h"

namespace {

TEST(MemoryFileTest, LoadingTwiceCountsOnceAndUnloadGivesTheBytesBack) {
    BareEngine bare;
    writeText("a.bin", "0123456789");
    const std::int32_t before = memoryFileBytes;
    {
        MemoryFile file(0, u"a.bin");
        EXPECT_EQ(memoryFileBytes, before + 10);
        file.load();
        EXPECT_EQ(memoryFileBytes, before + 10);
        file.unload();
        EXPECT_FALSE(file.isLoaded());
        EXPECT_EQ(memoryFileBytes, before);
        file.load();
        EXPECT_EQ(memoryFileBytes, before + 10);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(file.block.pData), file.block.size), "0123456789");
    }
    EXPECT_EQ(memoryFileBytes, before);
}

TEST(MemoryFileTest, AnEmptyFileIsLoadedWithNoBytes) {
    BareEngine bare;
    writeText("empty.bin", "");
    MemoryFile file(0, u"empty.bin");
    EXPECT_TRUE(file.isLoaded());
    EXPECT_EQ(file.block.size, 0u);
}

TEST(MemoryFileTest, DelayedLoadingReadsNothingUntilAskedButVerifiesAtOnce) {
    BareEngine bare;
    bare.engine.bEnableDelayedLoad = true;
    writeText("late.bin", "xyz");
    const std::int32_t before = memoryFileBytes;
    MemoryFile file(MemoryFile::kMayDelay, u"late.bin");
    EXPECT_FALSE(file.isLoaded());
    EXPECT_EQ(memoryFileBytes, before);
    file.load();
    EXPECT_EQ(file.block.size, 3u);
    EXPECT_EXIT(MemoryFile(MemoryFile::kMayDelay, u"gone.bin"), testing::ExitedWithCode(255),
                "File gone.bin verification failed");
}

}  // namespace
