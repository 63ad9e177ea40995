#include "net/RPCRemoteSignalB.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_9a4605a1, RPC, (&makeInstance<_9a4605a1, RPC>))

_9a4605a1::_9a4605a1() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _9a4605a1::getClass() const { return &classInfo; }

void _9a4605a1::execute() {
    if (pTarget) pTarget->onRemoteSignalB();
}
