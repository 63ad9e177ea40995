#include "net/RPCSetStateNow.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyInt.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCSetStateNow, "_21ae2a05", RPC, (&makeInstance<RPCSetStateNow, RPC>))

RPCSetStateNow::RPCSetStateNow() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCSetStateNow::getClass() const { return &classInfo; }

void RPCSetStateNow::serialize(Packet& p) {
    RPC::serialize(p);
    p.doInt(newState);
}

void RPCSetStateNow::describe(PropertyContainer* c) { addPropertyInt(&newState, c, u""); }

void RPCSetStateNow::execute() {
    // Written directly: no onStateChanged, no pending change touched.
    if (!pTarget) return;
    pTarget->timeInState = 0.0;
    pTarget->state = newState;
}
