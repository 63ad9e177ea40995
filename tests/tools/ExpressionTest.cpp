#include <gtest/gtest.h>

#include <stdexcept>

#include "Expression.h"

namespace {

using artbake::Expression;
using artbake::Variables;

double eval(const char* text, const Variables& vars = {}) { return Expression::evaluate(text, vars); }

TEST(ExpressionTest, PrecedenceAndUnaryMinusFollowArithmetic) {
    EXPECT_DOUBLE_EQ(eval("1 + 2 * 3"), 7.0);
    EXPECT_DOUBLE_EQ(eval("(1 + 2) * 3"), 9.0);
    EXPECT_DOUBLE_EQ(eval("-2 * -3"), 6.0);
    EXPECT_DOUBLE_EQ(eval("10 - 4 - 3"), 3.0);
    EXPECT_DOUBLE_EQ(eval("12 / 4 / 3"), 1.0);
    EXPECT_DOUBLE_EQ(eval("90-3.75*i", {{"i", 24}}), 0.0);
}

TEST(ExpressionTest, ModuloIsAlwaysNonNegativeForAPositiveDivisor) {
    EXPECT_DOUBLE_EQ(eval("7 % 3"), 1.0);
    EXPECT_DOUBLE_EQ(eval("-1 % 3"), 2.0);
}

TEST(ExpressionTest, ComparisonsGiveOneOrZeroAndBindLooserThanSums) {
    EXPECT_DOUBLE_EQ(eval("i == 2", {{"i", 2}}), 1.0);
    EXPECT_DOUBLE_EQ(eval("i != 2", {{"i", 2}}), 0.0);
    EXPECT_DOUBLE_EQ(eval("1 + 1 == 2"), 1.0);
    EXPECT_DOUBLE_EQ(eval("3 < 2"), 0.0);
    EXPECT_DOUBLE_EQ(eval("2 <= 2"), 1.0);
    EXPECT_DOUBLE_EQ(eval("(i==2)+(i==4)", {{"i", 4}}), 1.0);
}

TEST(ExpressionTest, FunctionsTakeDegreesAndCheckTheirArgumentCount) {
    EXPECT_NEAR(eval("sin(90)"), 1.0, 1e-12);
    EXPECT_NEAR(eval("cos(180)"), -1.0, 1e-12);
    EXPECT_DOUBLE_EQ(eval("clamp(5, 0, 2)"), 2.0);
    EXPECT_DOUBLE_EQ(eval("mix(10, 20, 0.25)"), 12.5);
    EXPECT_DOUBLE_EQ(eval("max(1, min(4, 3))"), 3.0);
    EXPECT_THROW(eval("sin(1, 2)"), std::runtime_error);
    EXPECT_THROW(eval("nosuch(1)"), std::runtime_error);
}

TEST(ExpressionTest, HashIsRepeatableAndWithinTheUnitInterval) {
    for (int seed = 0; seed < 100; ++seed) {
        double a = eval("hash(k)", {{"k", static_cast<double>(seed)}});
        EXPECT_EQ(a, eval("hash(k)", {{"k", static_cast<double>(seed)}}));
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, 1.0);
    }
    EXPECT_NE(eval("hash(1)"), eval("hash(2)"));
}

TEST(ExpressionTest, MistakesStopWithTheExpressionNamed) {
    for (const char* bad : {"", "1 +", "(1", "1)", "x", "2 $ 3", "1..2"}) {
        try {
            eval(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(bad), std::string::npos) << error.what();
        }
    }
}

}  // namespace
