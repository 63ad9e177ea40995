#include "net/RPCRemoteSignalA.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(_67719ab0, RPC, (&makeInstance<_67719ab0, RPC>))

_67719ab0::_67719ab0() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _67719ab0::getClass() const { return &classInfo; }

void _67719ab0::execute() {
    if (pTarget) pTarget->onRemoteSignalA();
}
