#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/QorBase.h"
#include "engine/Strings.h"
#include "engine/TypedLink.h"
#include "net/NetIdCounter.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "net/RPC.h"
#include "net/RPCAddChild.h"
#include "net/RPCDeleteChildren.h"
#include "net/RPCDestroyObject.h"
#include "net/RPCRemoteSignalA.h"
#include "net/RPCRemoteSignalB.h"
#include "net/RPCRemoveChild.h"
#include "net/RPCReseed.h"
#include "net/RPCSetStateDelayed.h"
#include "net/RPCSetStateNow.h"
#include "support/NetCallEngine.h"

namespace {
// Peers know the network classes only by their registered names and ids: a server that
// writes a class by its id and a client that reads it must agree on them, whatever the
// classes are called in the source.
class RegisteredNamesTest : public NetCallEngine {
protected:
    RegisteredNamesTest() : NetCallEngine(false) {}
    void SetUp() override {
        NetCallEngine::SetUp();
        target = new Counting();
        role.roleObject = target;
        role.registerObject(target);  // id 1
        child = new QorBase();
        role.registerObject(child);  // id 2
        doomed = new QorBase();
        role.registerObject(doomed);  // id 3
    }
    void TearDown() override {
        // Ended here, not on the peer: a client's objects would ask the server to end them.
        engine->pQorNetwork->THEROLE = nullptr;
        if (child) child->destroy();
        if (doomed) doomed->destroy();
        target->destroy();
        NetCallEngine::TearDown();
    }

    static void writeCall(Packet& p, RPC& call) {
        std::uint8_t kind = NetRole::kRemoteCall;
        p.doBits(kind, 2);
        ClassInfo* record = call.getClass();
        p.doClassID(record);
        call.serialize(p);
    }

    // One call of each class, in an order that a client can run: the child is added,
    // states and hooks reach the target, the generator is reseeded, the child is removed,
    // added again and the target emptied, and the third object is deleted.
    void writeCalls(Packet& p) {
        RPCAddChild add;
        add.pTarget = target;
        add.pChild = child;
        writeCall(p, add);
        RPCSetStateNow now;
        now.pTarget = target;
        now.newState = 7;
        writeCall(p, now);
        RPCSetStateDelayed later;
        later.pTarget = target;
        later.newState = 9;
        later.delay = 0.25;
        writeCall(p, later);
        RPCRemoteSignalA signalA;
        signalA.pTarget = target;
        writeCall(p, signalA);
        RPCRemoteSignalB signalB;
        signalB.pTarget = target;
        writeCall(p, signalB);
        RPCReseed reseed;
        reseed.seed = 0x01020304u;
        writeCall(p, reseed);
        RPCRemoveChild remove;
        remove.pTarget = target;
        remove.pChild = child;
        writeCall(p, remove);
        writeCall(p, add);
        RPCDeleteChildren empty;
        empty.pTarget = target;
        writeCall(p, empty);
        RPCDestroyObject destroy;
        destroy.pTarget = target;
        destroy.pObject = doomed;
        writeCall(p, destroy);
    }

    Counting* target = nullptr;
    QorBase* child = nullptr;
    QorBase* doomed = nullptr;
};

// Messages written by the network classes before they were given their present C++
// names (class ids with kClassHashes, so that classes added since leave them alone):
// one call of each class, in the order of writeCalls() ...
const std::vector<std::uint8_t> kCallsAsWritten = {
    0xff, 0x57, 0x8b, 0x46, 0x02, 0x01, 0x02, 0x05, 0x2a, 0xae, 0x21, 0x01, 0x07, 0x1b, 0x32, 0x13, 0x7b,
    0x01, 0x09, 0x00, 0x34, 0xb0, 0x9a, 0x71, 0x67, 0x01, 0xff, 0xa1, 0x05, 0x46, 0x9a, 0x01, 0x1b, 0x75,
    0xad, 0xcf, 0x00, 0x04, 0x03, 0x02, 0x01, 0x5c, 0x02, 0xaf, 0x98, 0x01, 0x02, 0x57, 0x8b, 0x46, 0x02,
    0x01, 0x02, 0x0f, 0x55, 0x62, 0x3f, 0xae, 0x01, 0x3a, 0xef, 0x72, 0x44, 0x01, 0x03};
// ... and the id counter object's class and properties, its role's next id being 300.
const std::vector<std::uint8_t> kIdCounterAsWritten = {0x76, 0x09, 0x79, 0x04, 0x00, 0x00, 0x00,
                                                       0xac, 0x02, 0xfb, 0xfc, 0xfd, 0xfe, 0x00};

// Packets name a class by its alphabetical index among all registered names unless they
// carry hashes, so the index is held as well: a class renamed, added or removed that
// moves a network class in the order breaks every peer still on the old order.
TEST_F(RegisteredNamesTest, EachNetworkClassKeepsItsRegisteredNameIdAndIndex) {
    const struct {
        const char16_t* name;
        std::uint32_t id;
        std::int32_t index;
        ClassInfo* record;
    } classes[] = {
        {u"_4472ef3a", 0x4472EF3Au, 79, &RPCDestroyObject::classInfo},
        {u"_cfad751b", 0xCFAD751Bu, 85, &RPCReseed::classInfo},
        {u"_ae3f6255", 0xAE3F6255u, 84, &RPCDeleteChildren::classInfo},
        {u"_02468b57", 0x02468B57u, 75, &RPCAddChild::classInfo},
        {u"_98af025c", 0x98AF025Cu, 82, &RPCRemoveChild::classInfo},
        {u"_67719ab0", 0x67719AB0u, 80, &RPCRemoteSignalA::classInfo},
        {u"_9a4605a1", 0x9A4605A1u, 83, &RPCRemoteSignalB::classInfo},
        {u"_21ae2a05", 0x21AE2A05u, 77, &RPCSetStateNow::classInfo},
        {u"_7b13321b", 0x7B13321Bu, 81, &RPCSetStateDelayed::classInfo},
        {u"_04790976", 0x04790976u, 76, &NetIdCounter::classInfo},
    };
    ClassRegistry& registry = ClassRegistry::instance();
    registry.buildIndex();
    for (const auto& c : classes) {
        EXPECT_EQ(c.record->name, c.name);
        EXPECT_EQ(c.record->id, c.id);
        EXPECT_EQ(c.record->index, c.index) << wideToUtf8(c.name);
        EXPECT_EQ(registry.findByName(c.name), c.record);
        EXPECT_EQ(registry.findById(c.id), c.record);
        EXPECT_EQ(registry.findByIndex(c.index), c.record);
        ASSERT_NE(c.record->factory, nullptr);
    }
    // Without hashes, a call travels as its kind and then that index.
    Packet p(0);
    RPCReseed reseed;
    writeCall(p, reseed);
    Packet q(0, p.bytes().data(), p.bytes().size());
    std::uint8_t kind = 0;
    q.doBits(kind, 2);
    std::uint32_t index = 0;
    q.doUInt(index);
    EXPECT_EQ(kind, NetRole::kRemoteCall);
    EXPECT_EQ(index, 85u);
}

TEST_F(RegisteredNamesTest, CallsAreWrittenAsBefore) {
    Packet p(Serializer::kClassHashes);
    writeCalls(p);
    EXPECT_EQ(p.bytes(), kCallsAsWritten);

    role.nextObjectUID = 300;
    Packet q(Serializer::kClassHashes);
    NetIdCounter counter;
    ClassInfo* record = counter.getClass();
    q.doClassID(record);
    counter.netSerialize(q);
    EXPECT_EQ(q.bytes(), kIdCounterAsWritten);
}

// The receiving side of the same game: the objects are its own, under the same ids.
TEST_F(RegisteredNamesTest, CallsWrittenBeforeAreReadAndRun) {
    TypedLink<QorBase> childLink, doomedLink;
    childLink = child;
    doomedLink = doomed;
    target->setState(4);
    target->timeInState = 3.0;
    Packet p(Serializer::kClassHashes, kCallsAsWritten.data(), kCallsAsWritten.size());
    int run = 0;
    while (role.receiveMessage(p)) ++run;
    EXPECT_EQ(run, 10);
    EXPECT_FALSE(p.bBad);

    EXPECT_EQ(target->state, 7);  // set at once, without a change notification ...
    EXPECT_EQ(target->timeInState, 0.0);
    EXPECT_EQ(target->changes, 1);
    EXPECT_EQ(target->stateGoto, 9);  // ... then, on a client, a delayed state only noted
    EXPECT_EQ(target->signalA, 1);
    EXPECT_EQ(target->signalB, 1);
    NetRole seeded(true);
    seeded.seed(0x01020304u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(role.random(), seeded.random());
    // Added, removed, added again, then ended with the target's children.
    EXPECT_EQ(childLink.get(), nullptr);
    EXPECT_EQ(target->firstChild, nullptr);
    EXPECT_EQ(doomedLink.get(), nullptr);
    EXPECT_EQ(role.findObject(3), nullptr);
    child = doomed = nullptr;
}

TEST_F(RegisteredNamesTest, AnIdCounterWrittenBeforeIsReadIntoTheRole) {
    Packet p(Serializer::kClassHashes, kIdCounterAsWritten.data(), kIdCounterAsWritten.size());
    ClassInfo* record = nullptr;
    p.doClassID(record);
    ASSERT_EQ(record, &NetIdCounter::classInfo);
    auto* counter = static_cast<QorBase*>(static_cast<BasicLink*>(record->factory()));
    counter->netSerialize(p);
    EXPECT_FALSE(p.bBad);
    EXPECT_EQ(role.nextObjectUID, 300);
    counter->destroy();
}
}  // namespace
