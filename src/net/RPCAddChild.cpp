#include "net/RPCAddChild.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCAddChild, "_02468b57", RPC, (&makeInstance<RPCAddChild, RPC>))

RPCAddChild::RPCAddChild() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCAddChild::getClass() const { return &classInfo; }

void RPCAddChild::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pChild);
}

void RPCAddChild::describe(PropertyContainer* c) { addPropertyPointer(&pChild, c, u""); }

void RPCAddChild::execute() {
    // A received call must not be able to break the tree: no null child, no cycle.
    if (!pTarget || !pChild) return;
    for (BasicLink* node = pTarget; node; node = node->parent)
        if (node == pChild) return;
    if (pChild->parent) pChild->parent->removeChild(pChild);
    pTarget->addChild(pChild);
}
