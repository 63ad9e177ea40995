#pragma once
// Binds a UDP socket once and closes it again, so that a desktop firewall asks the
// player for permission while the network wizard's page explains why. Nothing is sent
// or received. A socket that cannot be set up (the port taken, the system refusing) is
// logged with the error's name and otherwise ignored: the connection test goes on.
// Main thread only.
#include "net/NetAddress.h"

class FirewallProbe {
public:
    // The wizard's probe address: any local address, port 23006.
    static constexpr std::uint16_t kPort = 23006;

    // Opens, binds and closes a socket at `address`; true when the bind succeeded.
    static bool bindOnce(const NetAddress& address);
};
