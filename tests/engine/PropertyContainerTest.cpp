#include <gtest/gtest.h>

#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyContainerTest, ContainersDescribeTheirChildrenInOrderAndOwnThem) {
    BareEngine bare;
    auto* outer = new PropertyContainer(u"x", 0);
    EXPECT_EQ(outer->toString(), u"(empty)");
    EXPECT_EQ(outer->describe(), u"x()");
    std::int32_t a = 1, b = 2;
    outer->addChild(new PropertyInt(u"a", 0, &a));
    auto* inner = new PropertyContainer(u"in", 0);
    outer->addChild(inner);
    inner->addChild(new PropertyInt(u"b", 0, &b));
    EXPECT_EQ(outer->toString(), u"...");
    EXPECT_EQ(outer->describe(), u"x(a:1,in(b:2))");
    EXPECT_EQ(outer->findChild(u"in"), inner);
    outer->fromString(u"ignored");
    const int before = qor->objectList.countChildren();
    outer->destroy();
    EXPECT_EQ(qor->objectList.countChildren(), before - 4);
}

}  // namespace
