#include <gtest/gtest.h>

#include <cerrno>

#include "net/NetConnection.h"
#include "net/NetStats.h"
#include "net/QorNetwork.h"
#include "support/HeadlessEngine.h"

namespace {
class NetConnectionTest : public HeadlessEngine {
protected:
    void network(bool emulate) {
        delete engine->pQorNetwork;
        engine->pQorNetwork = new QorNetwork(emulate);
    }
    void TearDown() override {
        delete engine->pQorNetwork;
        engine->pQorNetwork = nullptr;
        HeadlessEngine::TearDown();
    }
};

TEST_F(NetConnectionTest, LoopbackIsEmulatedUnlessSwitchedOffThenARealSocketIsBound) {
    network(true);
    NetConnection emulated(NetAddress(NetAddress::kLoopback, 23006));
    EXPECT_TRUE(emulated.bEmulated);
    EXPECT_TRUE(emulated.isOpen());
    EXPECT_FALSE(emulated.socket.isOpen());

    network(false);
    NetConnection real(NetAddress(NetAddress::kLoopback, 0));
    EXPECT_FALSE(real.bEmulated);
    ASSERT_TRUE(real.isOpen());
    EXPECT_EQ(real.address.getAddress(), NetAddress::kLoopback);
    EXPECT_NE(real.address.getPort(), 0);  // the port the system chose
    EXPECT_TRUE(real.error.empty());
}

TEST_F(NetConnectionTest, APortInUseIsReportedByNameAndTheProgramGoesOn) {
    network(false);
    NetConnection first(NetAddress(NetAddress::kLoopback, 0));
    ASSERT_TRUE(first.isOpen());
    NetConnection second(first.address);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.error, u"EADDRINUSE");
    EXPECT_EQ(QorNetwork::getWSAErrorString(EAGAIN), u"EWOULDBLOCK");
    // The wizard's test binds its port once; taken, it reports the error and goes on.
    const std::u16string free = NetConnection::testFirewall();
    EXPECT_TRUE(free.empty() || free == u"EADDRINUSE");
    NetConnection holder(NetAddress(NetAddress::kAny, NetConnection::kFirewallTestPort));
    if (holder.isOpen()) {
        EXPECT_EQ(NetConnection::testFirewall(), u"EADDRINUSE");
    }
    EXPECT_EQ(QorNetwork::getWSAErrorString(10004), u"Unknown socket error: 00002714");
}

TEST_F(NetConnectionTest, StatisticsWindowsFollowOneAnotherAndTheOldestAreDropped) {
    network(true);
    NetConnection c(NetAddress(NetAddress::kLoopback, 1));
    NetStats* first = c.getCurrentStats(5.0);
    EXPECT_EQ(c.getCurrentStats(5.9), first);
    first->kinds[NetStats::kSentRow][3] = 2;
    NetStats* next = c.getCurrentStats(9.5);  // 3.5 s after the window ended
    EXPECT_DOUBLE_EQ(next->start, 6.0);
    EXPECT_DOUBLE_EQ(next->end, 7.0);
    EXPECT_EQ(c.totals->kinds[NetStats::kSentRow][3], 2u);
    for (int i = 0; i < 20; ++i) c.getCurrentStats(100.0);
    EXPECT_EQ(c.history->countChildren(), 10);  // the last ten seconds
    EXPECT_DOUBLE_EQ(static_cast<NetStats*>(c.history->lastChild)->start, 26.0);
}

}  // namespace
