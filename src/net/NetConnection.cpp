#include "net/NetConnection.h"

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "net/NetStats.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

NetConnection::NetConnection(const NetAddress& address_)
    : address(address_), history(new QorBase()), totals(new NetStats(0.0)), packet(new Packet(0x1)) {
    if (address.getAddress() == NetAddress::kLoopback && qor->network().bEmulateLocalhost) {
        bEmulated = 1;
        QOR_LOG("NetConnection::NetConnection", u"Creating emulated localhost connection: %s.", address.toString());
    } else if (!openSocket()) {
        socket.close();
        return;
    }
    QOR_LOG("NetConnection::NetConnection", u"Done.");
}

NetConnection::~NetConnection() {
    if (bEmulated && qor && qor->pQorNetwork) qor->network().flushEmulatedPackets(address);
    socket.close();
    packet->destroy();
    totals->destroy();
    history->destroy();
}

bool NetConnection::fail(const char16_t* step) {
    error = QorNetwork::getWSAErrorString(socket.lastError);
    QOR_LOG("NetConnection::NetConnection", u"%s failed for %s: %s.", std::u16string(step), address.toString(), error);
    return false;
}

bool NetConnection::openSocket() {
    if (!socket.open()) return fail(u"socket");
    if (!socket.setNonBlocking()) return fail(u"Non-blocking mode");
    if (!socket.setReceiveBufferSize(kReceiveBufferSize)) return fail(u"Receive buffer");
    if (!socket.setBroadcast(true)) return fail(u"Broadcasting");
    QOR_LOG("NetConnection::NetConnection", u"Binding to address: %s.", address.toString());
    sockaddr_in bound{};
    if (!socket.bind(*reinterpret_cast<const sockaddr_in*>(address.getSockAddr()))) return fail(u"bind");
    // The port the system chose when 0 was asked for.
    if (socket.getLocalAddress(bound)) *reinterpret_cast<sockaddr_in*>(address.getSockAddr()) = bound;
    QOR_LOG("NetConnection::NetConnection", u"Bound to address: %s.", address.toString());
    return true;
}

std::u16string NetConnection::testFirewall() {
    NetConnection test(NetAddress(NetAddress::kAny, kFirewallTestPort));
    return test.error;
}

NetStats* NetConnection::getCurrentStats() { return getCurrentStats(qor->timeKeeper().getPhysicalTime()); }

// One call moves on by one window at most and drops one window at most, so a window
// always starts where the last one ended, however long the pause between calls.
NetStats* NetConnection::getCurrentStats(double now) {
    auto* last = static_cast<NetStats*>(history->lastChild);
    if (!last) {
        last = new NetStats(now);
        history->addChild(last);
        return last;
    }
    if (!(last->end < now)) return last;
    totals->add(*last);
    auto* next = new NetStats(last->end);
    history->addChild(next);
    auto* oldest = static_cast<NetStats*>(history->firstChild);
    if (oldest->start < next->end - historySpan) oldest->destroy();
    return next;
}
