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

}  // namespace
