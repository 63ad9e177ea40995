#include "net/RPCRemoteSignalB.h"

#include "engine/ClassInfo.h"
#include "engine/QorBase.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS_AS(RPCRemoteSignalB, "_9a4605a1", RPC, (&makeInstance<RPCRemoteSignalB, RPC>))

RPCRemoteSignalB::RPCRemoteSignalB() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCRemoteSignalB::getClass() const { return &classInfo; }

void RPCRemoteSignalB::execute() {
    if (pTarget) pTarget->onRemoteSignalB();
}
