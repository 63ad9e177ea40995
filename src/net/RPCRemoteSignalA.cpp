#include "net/RPCRemoteSignalA.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCRemoteSignalA, "_67719ab0", RPC, (&makeInstance<RPCRemoteSignalA, RPC>))

RPCRemoteSignalA::RPCRemoteSignalA() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCRemoteSignalA::getClass() const { return &classInfo; }

void RPCRemoteSignalA::execute() {
    if (pTarget) pTarget->onRemoteSignalA();
}
