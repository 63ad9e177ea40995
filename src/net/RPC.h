#pragma once
// The base class of remote calls. The network layer creates a received call through
// its class factory, fills it with serialize, runs execute when the side flags and the
// role allow it, and deletes it. A call does not own its target.
#include <cstdint>

class ClassInfo;
class Packet;
class PropertyContainer;
class QorBase;

class RPC {
public:
    RPC() = default;
    virtual ClassInfo* getClass() const;
    // The target through its network id.
    virtual void serialize(Packet& p);
    // Appends views of the call's arguments; the base has none.
    virtual void describe(PropertyContainer* /*c*/) {}
    virtual void execute() {}
    virtual ~RPC() = default;
    RPC(const RPC&) = delete;
    RPC& operator=(const RPC&) = delete;

    static ClassInfo classInfo;

    std::uint8_t bServerSide = 0;  // may run on the server
    std::uint8_t bClientSide = 0;  // may run on a client
    std::uint8_t bReserved = 0;
    QorBase* pTarget = nullptr;
    std::uint16_t word = 0;
};
