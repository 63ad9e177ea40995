#pragma once
// One UDP endpoint of the network layer: a non-blocking socket bound to a local address,
// or, for the loopback address while the network service emulates it, an endpoint
// inside the process with no socket at all. Keeps message counters in windows of one
// second for the last ten seconds.
//
// A socket that cannot be set up (the port is taken, the system refuses) is logged with
// the error's name and leaves the connection closed: `isOpen()` is false and `error`
// holds the name. Nothing here ends the program. Main thread only.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"
#include "net/NetAddress.h"
#include "platform/UdpSocket.h"

class NetStats;
class Packet;

class NetConnection : public QorBase {
public:
    static constexpr int kReceiveBufferSize = 0x40000;  // bytes
    static constexpr double kHistorySpan = 10.0;        // s of windows kept
    static constexpr std::uint16_t kFirewallTestPort = 23006;

    // The network wizard's firewall test: binds a UDP socket on every local address at
    // kFirewallTestPort and closes it again at once, so that a desktop firewall may ask
    // the player for permission. Returns the error's name ("EADDRINUSE") when the socket
    // could not be set up (also logged), else an empty text; never ends the program.
    static std::u16string testFirewall();

    explicit NetConnection(const NetAddress& address);
    // An emulated endpoint drops the messages queued for its address; a real one closes
    // its socket.
    ~NetConnection() override;

    // The window for the present second (see the .cpp); owned by the connection.
    NetStats* getCurrentStats();
    NetStats* getCurrentStats(double now);  // now: s since the engine started

    bool isOpen() const { return bEmulated || socket.isOpen(); }

    NetAddress address;          // after binding, the address the system gave
    QorBase* history = nullptr;  // owned; its children are the windows, oldest first
    NetStats* totals = nullptr;  // owned; the sum of every window that has ended
    double historySpan = kHistorySpan;
    std::uint8_t bEmulated = 0;  // lives inside the process: no socket
    Packet* packet = nullptr;    // owned; the connection's message buffer
    UdpSocket socket;
    std::u16string error;  // name of the error that left the socket closed; empty when none

private:
    bool openSocket();
    bool fail(const char16_t* step);
};
