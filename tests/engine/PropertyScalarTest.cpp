#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/PropertyDWORD.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyFloat.h"
#include "engine/PropertyInt.h"
#include "engine/PropertyUColor.h"
#include "support/BareEngine.h"

namespace {

// A scalar property over a field of its own, with the field read back as a double.
struct Scalar {
    std::shared_ptr<void> field;
    std::unique_ptr<Property> property;
    std::function<double()> read;
};

template <class P, class T>
Scalar scalar(T initial) {
    auto field = std::make_shared<T>(initial);
    T* raw = field.get();
    return {field, std::make_unique<P>(u"v", 0, raw), [raw] { return static_cast<double>(*raw); }};
}

struct ScalarCase {
    const char* name;
    std::function<Scalar()> make;
    std::u16string shown;                                 // the text of the first value
    std::vector<std::pair<std::u16string, double>> text;  // each text read in turn, and the field after it
};

class PropertyScalarTest : public ::testing::TestWithParam<ScalarCase> {};

TEST_P(PropertyScalarTest, ShowsItsValueAndReadsTextWithoutEverLeavingTheFieldsRange) {
    BareEngine bare;
    const ScalarCase& c = GetParam();
    Scalar s = c.make();
    EXPECT_EQ(s.property->toString(), c.shown);
    EXPECT_EQ(s.property->describe(), u"v:" + c.shown);
    for (const auto& [text, expected] : c.text) {
        s.property->fromString(text);
        EXPECT_EQ(s.read(), expected) << std::string(text.begin(), text.end());
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Kinds, PropertyScalarTest,
                         ::testing::Values(
                             // Decimal scanning: a leading number counts, nothing leaves the value, overflow clamps.
                             ScalarCase{"Int",
                                        [] { return scalar<PropertyInt, std::int32_t>(3); },
                                        u"3",
                                        {{u" -12abc", -12}, {u"abc", -12}, {u"4294967296", INT_MAX}}},
                             ScalarCase{"Double",
                                        [] { return scalar<PropertyDouble, double>(1.5); },
                                        u"1.5",
                                        {{u"\t-2.5e1 s", -25.0}, {u"e", -25.0}}},
                             // Out of a float's range is an infinity, never undefined behaviour.
                             ScalarCase{"Float",
                                        [] { return scalar<PropertyFloat, float>(0.1f); },
                                        u"0.100000001",
                                        {{u"1e300", kInf}, {u"-1e300", -kInf}, {u"0.25", 0.25}, {u"nothing", 0.25}}},
                             // Hex words wrap a negative number and saturate past 32 bits.
                             ScalarCase{"DWORD",
                                        [] { return scalar<PropertyDWORD, std::uint32_t>(0); },
                                        u"00000000",
                                        {{u"-1", 0xffffffffu}, {u"1", 1}, {u"fffffffff0", 0xffffffffu}}},
                             // Colours are eight hex digits, alpha first.
                             ScalarCase{"UColor",
                                        [] { return scalar<PropertyUColor, std::uint32_t>(0xFFFF0000u); },
                                        u"ffff0000",
                                        {{u"0x80FF00FF", 0x80ff00ffu}, {u"red", 0x80ff00ffu}}}),
                         [](const ::testing::TestParamInfo<ScalarCase>& info) { return std::string(info.param.name); });

}  // namespace
