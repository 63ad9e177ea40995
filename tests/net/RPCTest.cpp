#include <gtest/gtest.h>

#include <memory>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/PropertyContainer.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "net/RPC.h"
#include "net/RPCAddChild.h"
#include "net/RPCDeleteChildren.h"
#include "net/RPCRemoteSignalA.h"
#include "net/RPCRemoteSignalB.h"
#include "net/RPCRemoveChild.h"
#include "net/RPCSetStateDelayed.h"
#include "net/RPCSetStateNow.h"
#include "support/NetCallEngine.h"

namespace {
// Encodes a call, then decodes it the way the network layer does: a new call made by the
// class factory, filled by serialize, executed.
class RPCTest : public NetCallEngine {
protected:
    RPCTest() : NetCallEngine(true) {}

    std::unique_ptr<RPC> roundTrip(RPC& call) {
        Packet p(0);
        ClassInfo* record = call.getClass();
        p.doClassID(record);
        call.serialize(p);
        p.startReading();
        ClassInfo* received = nullptr;
        p.doClassID(received);
        EXPECT_NE(received, nullptr);
        std::unique_ptr<RPC> made(static_cast<RPC*>(received->factory()));
        made->serialize(p);
        EXPECT_FALSE(p.bBad);
        return made;
    }

    void registerAll(std::initializer_list<QorBase*> objects) {
        for (QorBase* o : objects) role.registerObject(o);
    }
    void unregisterAll(std::initializer_list<QorBase*> objects) {
        for (QorBase* o : objects) role.unregisterObject(o);
    }
};
}  // namespace

TEST_F(RPCTest, TheCallsAreRegisteredUnderTheirNumbersAndRunOnBothSides) {
    const std::pair<const char16_t*, std::uint32_t> names[] = {{u"_ae3f6255", 0xAE3F6255u}, {u"_02468b57", 0x02468B57u},
                                                               {u"_98af025c", 0x98AF025Cu}, {u"_67719ab0", 0x67719AB0u},
                                                               {u"_9a4605a1", 0x9A4605A1u}, {u"_21ae2a05", 0x21AE2A05u},
                                                               {u"_7b13321b", 0x7B13321Bu}};
    for (const auto& [name, id] : names) {
        ClassInfo* record = ClassRegistry::instance().findByName(name);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->id, id);
        EXPECT_EQ(record->parent, &RPC::classInfo);
        std::unique_ptr<RPC> call(static_cast<RPC*>(record->factory()));
        EXPECT_EQ(call->bServerSide, 1);
        EXPECT_EQ(call->bClientSide, 1);
        EXPECT_EQ(call->pTarget, nullptr);
    }
    std::unique_ptr<RPC> base(static_cast<RPC*>(RPC::classInfo.factory()));
    EXPECT_EQ(base->bServerSide, 0);
}

TEST_F(RPCTest, TreeCallsAddRemoveAndEmpty) {
    auto* target = new QorBase();
    auto* child = new QorBase();
    registerAll({target, child});

    RPCAddChild add;
    add.pTarget = target;
    add.pChild = child;
    roundTrip(add)->execute();
    EXPECT_EQ(child->parent, target);

    RPCRemoveChild remove;
    remove.pTarget = target;
    remove.pChild = child;
    roundTrip(remove)->execute();
    EXPECT_EQ(child->parent, nullptr);

    target->addChild(child);
    RPCDeleteChildren empty;
    empty.pTarget = target;
    unregisterAll({child});
    roundTrip(empty)->execute();
    EXPECT_EQ(target->firstChild, nullptr);
    unregisterAll({target});
    target->destroy();
}

TEST_F(RPCTest, ReceivedTreeCallsCannotBreakTheTree) {
    auto* root = new QorBase();
    auto* middle = new QorBase();
    auto* other = new QorBase();
    root->addChild(middle);
    registerAll({root, middle, other});

    RPCAddChild add;
    add.pTarget = middle;
    add.pChild = root;  // an ancestor: refused
    roundTrip(add)->execute();
    add.pChild = middle;  // itself: refused
    roundTrip(add)->execute();
    add.pChild = nullptr;  // nothing: refused
    roundTrip(add)->execute();
    EXPECT_EQ(middle->firstChild, nullptr);
    EXPECT_EQ(root->parent, nullptr);

    add.pTarget = other;  // linked elsewhere: moved
    add.pChild = middle;
    roundTrip(add)->execute();
    EXPECT_EQ(middle->parent, other);
    EXPECT_EQ(root->firstChild, nullptr);

    RPCRemoveChild remove;  // not its child: nothing happens
    remove.pTarget = root;
    remove.pChild = middle;
    roundTrip(remove)->execute();
    EXPECT_EQ(middle->parent, other);

    RPCDeleteChildren empty;  // no target: ignored
    roundTrip(empty)->execute();
    unregisterAll({root, middle, other});
    root->destroy();
    other->destroy();
}

TEST_F(RPCTest, StateCalls) {
    auto* target = new Counting();
    registerAll({target});
    target->setState(4);
    target->timeInState = 3.0;

    RPCSetStateNow now;
    now.pTarget = target;
    now.newState = 4;
    roundTrip(now)->execute();
    EXPECT_EQ(target->state, 4);
    EXPECT_EQ(target->timeInState, 0.0);
    EXPECT_EQ(target->changes, 1);  // only the local setState above

    RPCSetStateDelayed later;
    later.pTarget = target;
    later.newState = 6;
    later.delay = 0.1;
    std::unique_ptr<RPC> received = roundTrip(later);
    // The delay arrives with half-float precision.
    EXPECT_EQ(static_cast<RPCSetStateDelayed*>(received.get())->delay, static_cast<double>(0.0999755859375f));
    received->execute();
    EXPECT_EQ(target->stateGoto, 6);
    EXPECT_EQ(target->state, 4);
    EXPECT_DOUBLE_EQ(target->stateLeft, 0.0999755859375);

    RPCRemoteSignalA a;
    a.pTarget = target;
    roundTrip(a)->execute();
    RPCRemoteSignalB b;
    b.pTarget = target;
    roundTrip(b)->execute();
    EXPECT_EQ(target->signalA, 1);
    EXPECT_EQ(target->signalB, 1);
    unregisterAll({target});
    target->destroy();
}

TEST_F(RPCTest, ADelayedRemoteStateOnAClientOnlyRecordsTheState) {
    role.bServer = false;
    role.bInsideServerCall = true;
    Counting target;
    target.setStateRemote(3, 0.5);
    EXPECT_EQ(target.state, 0);
    EXPECT_EQ(target.stateGoto, 3);
    EXPECT_EQ(target.stateLeft, 0.0);
    EXPECT_TRUE(role.bInsideServerCall);
    target.setStateRemote(5, 0.0);
    EXPECT_EQ(target.state, 5);
    EXPECT_EQ(target.changes, 1);

    engine->pQorNetwork->THEROLE = nullptr;  // no network: the ordinary delayed change
    Counting alone;
    alone.setStateRemote(2, 0.5);
    EXPECT_EQ(alone.stateGoto, 2);
    EXPECT_EQ(alone.stateLeft, 0.5);
}

TEST_F(RPCTest, DescribeListsTheArguments) {
    RPCSetStateDelayed call;
    call.newState = 3;
    call.delay = 1.5;
    auto* c = new PropertyContainer(u"args", 0);
    call.describe(c);
    EXPECT_EQ(c->describe(), u"args(:3,:1.5)");
    c->destroy();
}

TEST(NetRoleTest, SeedingFollowsTheStandardGenerator) {
    NetRole role(false);
    role.seed(5489u);
    EXPECT_EQ(role.mti, 624);
    EXPECT_EQ(role.mt[1], 1301868182u);
    EXPECT_EQ(role.random(), 3499211612u);
}
