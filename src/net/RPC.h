#pragma once
// The base class of remote calls: a small object naming a target object, carrying
// arguments and saying on which side it runs. executeRemotely decides whether a call
// made here must be sent to the other side (NetRole::sendRPC writes it); executeLocally
// runs it on this side, with the role marked as inside a server or a client call for
// the time of execute. The network layer creates a received call through its class
// factory and fills it with serialize. A call does not own its target.
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

    // Whether `call` must be sent to the other side, by the current role: the server
    // sends calls that run on clients, a client those it may ask the server for (each
    // unless already inside such a call); without a role nothing is sent. A client
    // making a server call it may not ask for, outside a server call, is an error of
    // the program.
    static bool executeRemotely(const RPC& call);
    // Runs `call` when it runs on this side (always without a role), with the role's
    // inside flags set to the call's sides during execute and put back after it.
    static void executeLocally(RPC& call);

    std::uint8_t bServerSide = 0;     // runs on the server
    std::uint8_t bClientSide = 0;     // runs on clients
    std::uint8_t bClientMayCall = 0;  // a client may ask the server to run it
    QorBase* pTarget = nullptr;
    std::uint8_t bSavedInsideServer = 0;  // the role's flags, kept while the call executes
    std::uint8_t bSavedInsideClient = 0;
};
