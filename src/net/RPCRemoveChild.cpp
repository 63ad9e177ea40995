#include "net/RPCRemoveChild.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCRemoveChild, "_98af025c", RPC, (&makeInstance<RPCRemoveChild, RPC>))

RPCRemoveChild::RPCRemoveChild() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCRemoveChild::getClass() const { return &classInfo; }

void RPCRemoveChild::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pChild);
}

void RPCRemoveChild::describe(PropertyContainer* c) { addPropertyPointer(&pChild, c, u""); }

void RPCRemoveChild::execute() {
    // Only a child of the target can be removed from it.
    if (pTarget && pChild && pChild->parent == pTarget) pTarget->removeChild(pChild);
}
