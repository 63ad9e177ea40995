#include <gtest/gtest.h>

#include "engine/QorBase.h"
#include "engine/ResourceManager.h"
#include "support/BareEngine.h"

namespace {

TEST(ResourceManagerTest, NamesAreExactAndObjectsFindTheirFirstName) {
    BareEngine bare;
    ResourceManager& registry = *qor->pResourceManager;
    QorBase logo, skin, stranger;
    registry.addResource(&logo, u"logo1");
    registry.addResource(&skin, u"logo1:0");
    registry.addResource(&logo, u"alias");
    EXPECT_EQ(registry.find(false, u"logo1"), &logo);
    EXPECT_EQ(registry.find(true, u"logo1:0"), &skin);
    EXPECT_EQ(registry.find(false, u"Logo1"), nullptr);
    EXPECT_EQ(registry.getName(&logo), u"logo1");
    EXPECT_EQ(registry.getName(&stranger), u"");
    EXPECT_EQ(registry.count, 3);
}

TEST(ResourceManagerTest, DuplicateNamesAndRequiredMissingNamesAreFatal) {
    BareEngine bare;
    ResourceManager& registry = *qor->pResourceManager;
    QorBase a;
    registry.addResource(&a, u"musicMenu");
    EXPECT_EXIT(registry.addResource(&a, u"musicMenu"), testing::ExitedWithCode(255),
                "Statement: map.find\\(key\\) == map.end\\(\\)");
    EXPECT_EXIT(registry.find(true, u"musicGame"), testing::ExitedWithCode(255),
                "Could not find resource 'musicGame'.");
}

}  // namespace
