#include <gtest/gtest.h>

#include "../support/BareEngine.h"
#include "engine/PropertyContainer.h"
#include "engine/QorBase.h"

namespace {

TEST(QorBaseTest, PropertiesNameTheObjectAndListTheStateBaseFirst) {
    BareEngine bare;
    QorBase object;
    PropertyContainer* properties = object.getProperties();
    const std::u16string described = properties->describe();
    EXPECT_EQ(described.substr(0, 9), u"QorBase (");
    EXPECT_NE(described.find(u")(objectUID:-1,StateBase(state:0,timeInState:0.0,stateLeft:0.0,stateGoto:0))"),
              std::u16string::npos)
        << wideToUtf8(described);
    EXPECT_EQ(properties->findChild(u"objectUID")->flags, 3u);
    auto* state = static_cast<PropertyContainer*>(properties->findChild(u"StateBase"));
    EXPECT_EQ(state->findChild(u"state")->flags, 0u);
    EXPECT_EQ(state->findChild(u"timeInState")->flags, 4u);
    EXPECT_EQ(state->findChild(u"stateLeft")->flags, 1u);
    EXPECT_EQ(state->findChild(u"stateGoto")->flags, 1u);
    state->findChild(u"state")->fromString(u"7");
    EXPECT_EQ(object.state, 7);
    properties->destroy();
}

}  // namespace
