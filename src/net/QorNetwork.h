#pragma once
// The engine's network service: the switch that keeps connections to the loopback
// address inside the process, the current network role, the queue of messages between
// emulated connections, and the names of socket errors. The role is null in this
// system: no role object is created, and the packet layer and the engine's remote calls
// behave as without a network. While the service exists, the object model reaches the
// role through it, and a replicated object that ends while a role is current ends
// through the role's deletion call. Its destruction waits a bounded time for web requests
// still running (HttpRequest) and cleans up the HTTP library.
#include <cstdint>
#include <string>

class ClassInfo;
class NetAddress;
class NetRole;
class QorBase;

class QorNetwork {
public:
    // Reads "bEmulateLocalhost" (section "QorNetwork") from the per-machine settings,
    // Yes when missing (and then written).
    QorNetwork();
    // Without the settings file.
    explicit QorNetwork(bool emulateLocalhost);
    virtual ClassInfo* getClass() const;
    virtual ~QorNetwork();
    static ClassInfo classInfo;

    // The role of the engine's network service, or null without a service or a role.
    static NetRole* currentRole();
    // The name <errno.h> gives a socket error code ("EADDRINUSE"), or "Unknown socket
    // error: %08x" with the code.
    static std::u16string getWSAErrorString(int code);

    // Drops every queued message meant for `address` (address and port).
    void flushEmulatedPackets(const NetAddress& address);

    std::uint8_t bEmulateLocalhost = 1;
    NetRole* THEROLE = nullptr;        // the current role, not owned; null without a network
    QorBase* emulatedQueue = nullptr;  // owned; its children are the queued Packets, oldest first

private:
    void start();
};
