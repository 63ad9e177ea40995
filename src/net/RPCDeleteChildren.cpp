#include "net/RPCDeleteChildren.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCDeleteChildren, "_ae3f6255", RPC, (&makeInstance<RPCDeleteChildren, RPC>))

RPCDeleteChildren::RPCDeleteChildren() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCDeleteChildren::getClass() const { return &classInfo; }

void RPCDeleteChildren::execute() {
    if (pTarget) pTarget->deleteChildren();
}
