#include <gtest/gtest.h>

#include "language/StringIds.h"
#include "support/MenuTestEngine.h"
#include "ui/MenuItemChoice.h"

namespace {
class MenuItemChoiceTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
    std::int32_t value = 1;
};

TEST_F(MenuItemChoiceTest, ShowsTheLanguageTextFromTheFirstId) {
    MenuItemChoice item(0, 0, 0, &value, 0, 2, StringId::YES, u"", u"");
    EXPECT_EQ(item.getChoiceText(), u"No");
    EXPECT_EQ(item.step, 1);
}

TEST_F(MenuItemChoiceTest, ShowsTheCallersTextsAndNothingOutsideThem) {
    const std::vector<std::u16string> names{u"Low", u"High"};
    MenuItemChoice item(0, 0, 0, &value, 0, 1, &names, u"", u"");
    EXPECT_EQ(item.getChoiceText(), u"High");
    value = 7;  // read from a damaged file, say
    EXPECT_EQ(item.getChoiceText(), u"");
    MenuItemChoice ids(0, 0, 0, &value, 0, 1, 880, u"", u"");
    value = 100;  // past the last text
    EXPECT_EQ(ids.getChoiceText(), u"");
}
}  // namespace
