#include "net/RPCSetStateDelayed.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCSetStateDelayed, "_7b13321b", RPC, (&makeInstance<RPCSetStateDelayed, RPC>))

RPCSetStateDelayed::RPCSetStateDelayed() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCSetStateDelayed::getClass() const { return &classInfo; }

void RPCSetStateDelayed::serialize(Packet& p) {
    RPC::serialize(p);
    p.doInt(newState);
    // The delay travels as a half float; the value executed is what that encoding gives.
    auto narrowed = static_cast<float>(delay);
    p.doHalfFloat(narrowed);
    delay = narrowed;
}

void RPCSetStateDelayed::describe(PropertyContainer* c) {
    addPropertyInt(&newState, c, u"");
    addPropertyDouble(&delay, c, u"");
}

void RPCSetStateDelayed::execute() {
    if (pTarget) pTarget->setStateRemote(newState, delay);
}
