#include "net/RPCReseed.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyDWORD.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS(_cfad751b, RPC, (&makeInstance<_cfad751b, RPC>))

_cfad751b::_cfad751b() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _cfad751b::getClass() const { return &classInfo; }

void _cfad751b::serialize(Packet& p) {
    RPC::serialize(p);
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(seed), static_cast<std::uint8_t>(seed >> 8),
                             static_cast<std::uint8_t>(seed >> 16), static_cast<std::uint8_t>(seed >> 24)};
    p.doRaw32(bytes);
    seed = bytes[0] | (static_cast<std::uint32_t>(bytes[1]) << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void _cfad751b::describe(PropertyContainer* c) { addPropertyDWORD(&seed, c, u""); }

void _cfad751b::execute() {
    if (NetRole* role = QorNetwork::currentRole()) role->seed(seed);
}
