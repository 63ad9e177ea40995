#include "net/RPCRemoveChild.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_98af025c, RPC, (&makeInstance<_98af025c, RPC>))

_98af025c::_98af025c() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _98af025c::getClass() const { return &classInfo; }

void _98af025c::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pChild);
}

void _98af025c::describe(PropertyContainer* c) { addPropertyPointer(&pChild, c, u""); }

void _98af025c::execute() {
    // Only a child of the target can be removed from it.
    if (pTarget && pChild && pChild->parent == pTarget) pTarget->removeChild(pChild);
}
