#pragma once
// A network role: one side's view of the replicated game. It knows whether it is the
// server, the connection its messages go through, the table of replicated objects by
// network id, the object that receives the calls about the role itself (deletions), a
// random generator (MT19937) that both sides keep in step, the outgoing packet and how
// many calls of each class it sent. This system creates no role; the engine's remote
// calls and the packet's object references consult it when one exists
// (QorNetwork::THEROLE). Main thread only. The role owns its outgoing packet, not the
// objects in its table nor its connection.
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/NetRoleFlags.h"

class NetConnection;
class Packet;
class QorBase;
class RPC;

class NetRole : public NetRoleFlags {
public:
    static constexpr std::uint8_t kRemoteCall = 3;  // the 2-bit message kind of a call

    explicit NetRole(bool server) { bServer = server; }
    virtual ~NetRole();
    NetRole(const NetRole&) = delete;
    NetRole& operator=(const NetRole&) = delete;

    // Gives the object the next network id and enters it in the table.
    void registerObject(QorBase* object);
    // Takes the object out of the table; its id becomes -1. Null is ignored; an object
    // without a valid id is an error of the program.
    void unregisterObject(QorBase* object);
    // The object registered under `id`, or null (logged: a message naming it is refused).
    QorBase* findObject(std::int32_t id) const;

    // Appends the call to the outgoing packet: the kind (2 bits), the class, the call's
    // own data; counts it.
    void sendRPC(RPC& call);
    // Reads one message from `p` and runs its call as the side flags allow. False, with
    // nothing run, for a damaged message, a kind other than a call, a class or object
    // this side does not have, or a call that clients may not ask the server for.
    bool receiveMessage(Packet& p);

    // The standard MT19937 initialisation; the next draw regenerates the whole block.
    void seed(std::uint32_t s);
    std::uint32_t random();

    // The packet calls are written into, made at first use.
    Packet& outgoing();

    NetConnection* connection = nullptr;  // not owned; its statistics count what is sent
    QorBase* roleObject = nullptr;        // not owned; the target of the deletion calls
    std::int32_t nextObjectUID = 1;
    std::array<std::uint32_t, 624> mt{};
    int mti = 625;                          // 625: never seeded
    std::vector<std::uint32_t> callCounts;  // calls sent, by class index

private:
    std::unordered_map<std::int32_t, QorBase*> objects;
    Packet* outgoingPacket = nullptr;
};
