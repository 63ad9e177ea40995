#pragma once
// The network service. Its current network role is null in this system: no role object
// is created, and the packet layer and the engine's remote calls behave as without a
// network.
class ClassInfo;
class NetRole;

class QorNetwork {
public:
    QorNetwork() = default;
    virtual ClassInfo* getClass() const;
    virtual ~QorNetwork() = default;
    static ClassInfo classInfo;

    NetRole* THEROLE = nullptr;  // the current role, not owned; null without a network
};
