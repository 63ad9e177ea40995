#include <gtest/gtest.h>

#include <cstring>

#include "engine/MemoryReadStream.h"

namespace {

TEST(MemoryReadStreamTest, ReadsStopAtTheEndAndSeeksPastItReadNothing) {
    MemoryReadStream stream(10);
    std::memcpy(stream.bytes(), "0123456789", 10);
    char buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 6), 6);
    EXPECT_EQ(stream.read(buffer, 6), 4);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(stream.read(buffer, 6), 0);
    stream.seek(20);
    EXPECT_EQ(stream.read(buffer, 6), 0);
    stream.seek(-1);
    EXPECT_EQ(stream.read(buffer, 6), 0);
    EXPECT_EQ(stream.read(buffer, -5), 0);
    stream.seek(8);
    EXPECT_EQ(stream.read(buffer, 6), 2);
}

}  // namespace
