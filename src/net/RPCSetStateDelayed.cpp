#include "net/RPCSetStateDelayed.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_7b13321b, RPC, (&makeInstance<_7b13321b, RPC>))

_7b13321b::_7b13321b() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _7b13321b::getClass() const { return &classInfo; }

void _7b13321b::serialize(Packet& p) {
    RPC::serialize(p);
    p.doInt(newState);
    // The delay travels as a half float; the value executed is what that encoding gives.
    auto narrowed = static_cast<float>(delay);
    p.doHalfFloat(narrowed);
    delay = narrowed;
}

void _7b13321b::describe(PropertyContainer* c) {
    addPropertyInt(&newState, c, u"");
    addPropertyDouble(&delay, c, u"");
}

void _7b13321b::execute() {
    if (pTarget) pTarget->setStateRemote(newState, delay);
}
