#include "net/RPC.h"

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

QOR_DEFINE_ROOT_CLASS(RPC, (&makeInstance<RPC, RPC>))

ClassInfo* RPC::getClass() const { return &classInfo; }

void RPC::serialize(Packet& p) { p.doPointer2(pTarget); }

bool RPC::executeRemotely(const RPC& call) {
    const NetRole* role = QorNetwork::currentRole();
    if (!role) return false;
    if (!role->bServer && call.bServerSide && !call.bClientMayCall && !role->bInsideServerCall)
        QOR_FATAL("RPC::executeRemotely", u"Can't call '%s::%s' client-side.",
                  call.pTarget ? call.pTarget->getClass()->name : std::u16string(u"(null)"), call.getClass()->name);
    if (role->bServer) return call.bClientSide && !role->bInsideClientCall;
    return call.bClientMayCall && call.bServerSide && !role->bInsideServerCall;
}

void RPC::executeLocally(RPC& call) {
    NetRole* role = QorNetwork::currentRole();
    if (!role) {
        call.execute();
        return;
    }
    if (!(role->bServer ? call.bServerSide : call.bClientSide)) return;
    call.bSavedInsideServer = role->bInsideServerCall;
    call.bSavedInsideClient = role->bInsideClientCall;
    role->bInsideServerCall = call.bServerSide != 0;
    role->bInsideClientCall = call.bClientSide != 0;
    call.execute();
    role->bInsideServerCall = call.bSavedInsideServer != 0;
    role->bInsideClientCall = call.bSavedInsideClient != 0;
}
