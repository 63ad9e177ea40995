#include "net/RPCDeleteChildren.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_ae3f6255, RPC, (&makeInstance<_ae3f6255, RPC>))

_ae3f6255::_ae3f6255() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _ae3f6255::getClass() const { return &classInfo; }

void _ae3f6255::execute() {
    if (pTarget) pTarget->deleteChildren();
}
