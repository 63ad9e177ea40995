#include <gtest/gtest.h>

#include <string>

#include "engine/ByteBuffer.h"

namespace {

std::string text(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.pData), b.size); }

TEST(ByteBufferTest, AppendGrowsExactlyAndAppendingNothingChangesNothing) {
    ByteBuffer buffer;
    buffer.append("abc", 3);
    buffer.append("de", 2);
    EXPECT_EQ(text(buffer), "abcde");
    const std::uint8_t* before = buffer.pData;
    buffer.append("", 0);
    EXPECT_EQ(buffer.pData, before);
    EXPECT_EQ(buffer.size, 5u);
}

TEST(ByteBufferTest, AnEmptyAllocationStillHoldsABlockAndMovingTransfersIt) {
    ByteBuffer buffer;
    buffer.allocate(0);
    EXPECT_NE(buffer.pData, nullptr);
    ByteBuffer other(std::move(buffer));
    EXPECT_EQ(buffer.pData, nullptr);
    EXPECT_NE(other.pData, nullptr);
    other.clear();
    EXPECT_EQ(other.size, 0u);
}

}  // namespace
