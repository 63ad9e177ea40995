#include <gtest/gtest.h>

#include <vector>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/TimeKeeper.h"
#include "engine/TypedLink.h"
#include "net/NetConnection.h"
#include "net/NetRole.h"
#include "net/NetStats.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "net/RPCDeleteChildren.h"
#include "net/RPCDestroyObject.h"
#include "net/RPCReseed.h"
#include "support/HeadlessEngine.h"

namespace {
// A server and a client role in one process; the test makes one of them current.
class NetRoleCallTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        ClassRegistry::instance().buildIndex();
        engine->pQorNetwork = new QorNetwork(true);
        engine->pTimeKeeper = new TimeKeeper();  // the connection's statistics windows
        serverRoot = new QorBase();
        clientRoot = new QorBase();
        server.roleObject = serverRoot;
        client.roleObject = clientRoot;
        server.registerObject(serverRoot);  // id 1 on both sides
        client.registerObject(clientRoot);
    }
    void TearDown() override {
        engine->pQorNetwork->THEROLE = nullptr;  // what is left ends without a role
        serverRoot->destroy();
        clientRoot->destroy();
        delete engine->pQorNetwork;
        engine->pQorNetwork = nullptr;
        HeadlessEngine::TearDown();
    }
    void use(NetRole& role) { qor->network().THEROLE = &role; }
    // What the server sent, as the client receives it: every message in turn.
    int deliver() {
        Packet& sent = server.outgoing();
        Packet p(0, sent.bytes().data(), sent.size());
        use(client);
        int run = 0;
        while (p.size() > 0 && !p.bBad && client.receiveMessage(p)) ++run;
        return run;
    }
    // Each side's copy of one replicated object, registered under the same id.
    static QorBase* replicate(NetRole& role, QorBase* root) {
        auto* object = new QorBase();
        root->addChild(object);
        role.registerObject(object);
        return object;
    }

    NetRole server{true}, client{false};
    QorBase* serverRoot = nullptr;  // the roles' own objects
    QorBase* clientRoot = nullptr;
};

TEST_F(NetRoleCallTest, AReseedIsSentAsKindClassTargetAndSeedAndKeepsBothGeneratorsInStep) {
    NetConnection connection(NetAddress(NetAddress::kLoopback, 23006));
    server.connection = &connection;
    use(server);
    RPCReseed reseed;
    reseed.seed = 0x01020304u;
    ASSERT_TRUE(RPC::executeRemotely(reseed));
    server.sendRPC(reseed);
    const auto index = static_cast<std::uint8_t>(RPCReseed::classInfo.index);
    ASSERT_LT(index, 128);
    EXPECT_EQ(server.outgoing().bytes(), (std::vector<std::uint8_t>{0x03, index, 0x00, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(connection.getCurrentStats()->kinds[NetStats::kSentRow][NetRole::kRemoteCall], 1u);
    EXPECT_EQ(server.callCounts[index], 1u);
    RPC::executeLocally(reseed);
    EXPECT_EQ(deliver(), 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(server.random(), client.random());
}

TEST_F(NetRoleCallTest, DeletingAReplicatedObjectOnTheServerDeletesItOnBothSides) {
    TypedLink<QorBase> onClient, onServer;
    onClient = replicate(client, clientRoot);
    onServer = replicate(server, serverRoot);
    ASSERT_EQ(onServer->objectUID, onClient->objectUID);
    const std::int32_t id = onServer->objectUID;
    use(server);
    onServer->destroy();
    EXPECT_EQ(onServer.get(), nullptr);
    EXPECT_EQ(server.callCounts.at(static_cast<std::size_t>(RPCDestroyObject::classInfo.index)), 1u);
    EXPECT_EQ(deliver(), 1);
    EXPECT_EQ(onClient.get(), nullptr);
    EXPECT_EQ(client.findObject(id), nullptr);
}

TEST_F(NetRoleCallTest, InsideAClientCallTheServerSendsNothingAndWithoutARoleNothingIsSent) {
    TypedLink<QorBase> object;
    for (NetRole* role : {&server, static_cast<NetRole*>(nullptr)}) {
        qor->network().THEROLE = role;
        server.bInsideClientCall = true;
        object = replicate(server, serverRoot);
        object->destroy();
        EXPECT_EQ(object.get(), nullptr);
        EXPECT_EQ(server.outgoing().size(), 0u);
    }
}

TEST_F(NetRoleCallTest, AReceiverRefusesUnknownObjectsAndCallsClientsMayNotMake) {
    use(server);
    QorBase* shared = replicate(server, serverRoot);
    RPCDestroyObject remove;
    remove.pObject = shared;
    server.sendRPC(remove);
    // The client has no object of that id: refused, nothing run.
    EXPECT_EQ(deliver(), 0);

    // A client cannot make the server empty an object.
    use(client);
    RPCDeleteChildren empty;
    empty.pTarget = clientRoot;
    client.sendRPC(empty);
    Packet received(0, client.outgoing().bytes().data(), client.outgoing().size());
    use(server);
    EXPECT_FALSE(server.receiveMessage(received));
    EXPECT_EQ(serverRoot->firstChild, shared);  // the server's object of that id keeps its child

    server.unregisterObject(shared);
}

TEST_F(NetRoleCallTest, AClientMakingAServerOnlyCallOutsideAServerCallIsAProgramError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    use(client);
    RPCDeleteChildren call;
    call.pTarget = clientRoot;
    EXPECT_DEATH(RPC::executeRemotely(call), "client-side");
    client.bInsideServerCall = true;
    EXPECT_FALSE(RPC::executeRemotely(call));
}

}  // namespace
