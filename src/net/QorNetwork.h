#pragma once
// The network service. Its current network role is null in this system: no role object
// is created, and the packet layer and the engine's remote calls behave as without a
// network. Its destruction waits a bounded time for web requests still running
// (HttpRequest) and cleans up the HTTP library.
class ClassInfo;
class NetRole;

class QorNetwork {
public:
    // Hands the object model the way to the current role while the service exists.
    QorNetwork();
    virtual ClassInfo* getClass() const;
    virtual ~QorNetwork();
    static ClassInfo classInfo;

    // The role of the engine's network service, or null without a service or a role.
    static NetRole* currentRole();

    NetRole* THEROLE = nullptr;  // the current role, not owned; null without a network
};
