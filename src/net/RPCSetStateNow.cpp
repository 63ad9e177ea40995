#include "net/RPCSetStateNow.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyInt.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_21ae2a05, RPC, (&makeInstance<_21ae2a05, RPC>))

_21ae2a05::_21ae2a05() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _21ae2a05::getClass() const { return &classInfo; }

void _21ae2a05::serialize(Packet& p) {
    RPC::serialize(p);
    p.doInt(newState);
}

void _21ae2a05::describe(PropertyContainer* c) { addPropertyInt(&newState, c, u""); }

void _21ae2a05::execute() {
    // Written directly: no onStateChanged, no pending change touched.
    if (!pTarget) return;
    pTarget->timeInState = 0.0;
    pTarget->state = newState;
}
