#include "net/RPCReseed.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyDWORD.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS_AS(RPCReseed, "_cfad751b", RPC, (&makeInstance<RPCReseed, RPC>))

RPCReseed::RPCReseed() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCReseed::getClass() const { return &classInfo; }

void RPCReseed::serialize(Packet& p) {
    RPC::serialize(p);
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(seed), static_cast<std::uint8_t>(seed >> 8),
                             static_cast<std::uint8_t>(seed >> 16), static_cast<std::uint8_t>(seed >> 24)};
    p.doRaw32(bytes);
    seed = bytes[0] | (static_cast<std::uint32_t>(bytes[1]) << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void RPCReseed::describe(PropertyContainer* c) { addPropertyDWORD(&seed, c, u""); }

void RPCReseed::execute() {
    if (NetRole* role = QorNetwork::currentRole()) role->seed(seed);
}
