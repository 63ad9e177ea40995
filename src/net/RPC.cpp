#include "net/RPC.h"

#include "engine/ClassInfo.h"
#include "net/Packet.h"

QOR_DEFINE_ROOT_CLASS(RPC, (&makeInstance<RPC, RPC>))

ClassInfo* RPC::getClass() const { return &classInfo; }

void RPC::serialize(Packet& p) { p.doPointer2(pTarget); }
