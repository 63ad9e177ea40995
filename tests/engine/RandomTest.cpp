#include <gtest/gtest.h>

#include "engine/Random.h"
#include "render/Easing.h"

TEST(Random, TheGeneratorStepsAsALinearCongruentialSequence) {
    Random::seed(5);
    EXPECT_EQ(Random::next(), (5u * 214013u + 2531011u) >> 16);  // 54
    Random::seed(1);
    const std::uint32_t s = Random::step();
    EXPECT_EQ(s, 214013u + 2531011u);
    // The value is all 16 upper bits, so it reaches 65535 and never more.
    Random::seed(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) ASSERT_LE(Random::next(), 65535u);
}

TEST(Random, TableFillingConsumes132StepsAndPairsConsecutiveStates) {
    Random::seed(1234);
    std::uint32_t states[132];
    for (auto& s : states) s = Random::step();
    Random::seed(1234);
    RandomTablePair tables{};
    initRandomTables(tables);
    EXPECT_EQ(Random::state(), states[131]);
    auto word = [&](int low, int high) { return (states[high] & 0xFFFF0000u) | (states[low] >> 16); };
    EXPECT_EQ(tables.a[0], word(0, 1));
    EXPECT_EQ(tables.b[0], word(2, 3));
    EXPECT_EQ(tables.a[31], word(124, 125));
    EXPECT_EQ(tables.b[31], word(126, 127));
    EXPECT_EQ(tables.a[32], word(130, 131));
    EXPECT_EQ(tables.b[32], tables.a[32]);
}
