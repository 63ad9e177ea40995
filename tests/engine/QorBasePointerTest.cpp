#include <gtest/gtest.h>

#include "engine/ClassInfo.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBasePointer.h"
#include "support/BareEngine.h"

namespace {

TEST(QorBasePointerTest, ItsReferenceIsItsLastPropertyAndItCanBeMadeByItsFactory) {
    BareEngine bare;
    auto* made = static_cast<QorBasePointer*>(static_cast<BasicLink*>(QorBasePointer::classInfo.factory()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->pObject, nullptr);
    QorBase target;
    made->pObject = &target;
    PropertyContainer* properties = made->getProperties();
    auto* last = static_cast<Property*>(properties->lastChild);
    EXPECT_EQ(last->name, u"pObject");
    EXPECT_EQ(last->flags, 0u);
    static_cast<PropertyPointer*>(last)->fromString(u"0");
    EXPECT_EQ(made->pObject, nullptr);
    properties->destroy();
    made->destroy();
}

}  // namespace
