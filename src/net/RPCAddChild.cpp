#include "net/RPCAddChild.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_02468b57, RPC, (&makeInstance<_02468b57, RPC>))

_02468b57::_02468b57() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _02468b57::getClass() const { return &classInfo; }

void _02468b57::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pChild);
}

void _02468b57::describe(PropertyContainer* c) { addPropertyPointer(&pChild, c, u""); }

void _02468b57::execute() {
    // A received call must not be able to break the tree: no null child, no cycle.
    if (!pTarget || !pChild) return;
    for (BasicLink* node = pTarget; node; node = node->parent)
        if (node == pChild) return;
    if (pChild->parent) pChild->parent->removeChild(pChild);
    pTarget->addChild(pChild);
}
