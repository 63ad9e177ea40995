#include <gtest/gtest.h>

#include "engine/PropertyPointer.h"
#include "engine/QorBasePointer.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyPointerTest, OnlyRegisteredNamesZeroAndNullAreAcceptedAsText) {
    BareEngine bare;
    QorBase sound, unregistered;
    qor->pResourceManager->addResource(&sound, u"musicMenu");
    QorBase* field = &unregistered;
    PropertyPointer property(u"pObject", 0, &field);
    const std::u16string address = property.toString();
    EXPECT_NE(address, u"NULL");
    property.fromString(u"1000");
    EXPECT_EQ(field, &unregistered);
    property.fromString(u"ffffffffffff");
    EXPECT_EQ(field, &unregistered);
    property.fromString(address);  // an address never turns back into a pointer
    EXPECT_EQ(field, &unregistered);
    property.fromString(u"musicMenu");
    EXPECT_EQ(field, &sound);
    EXPECT_EQ(property.toString(), u"musicMenu");
    property.fromString(u"0");
    EXPECT_EQ(field, nullptr);
    EXPECT_EQ(property.toString(), u"NULL");
    field = &sound;
    property.fromString(u"NULL");
    EXPECT_EQ(field, nullptr);
}

TEST(PropertyPointerTest, DescribeNamesTheTargetsClassAndId) {
    BareEngine bare;
    QorBasePointer target;
    target.objectUID = 12;
    QorBase* field = nullptr;
    PropertyPointer property(u"pObject", 0, &field);
    EXPECT_EQ(property.describe(), u"pObject:NULL");
    field = &target;
    EXPECT_EQ(property.describe(), u"pObject:QorBasePointer12");
}

}  // namespace
