#include "net/RPCDestroyObject.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS_AS(RPCDestroyObject, "_4472ef3a", RPC, (&makeInstance<RPCDestroyObject, RPC>))

RPCDestroyObject::RPCDestroyObject() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* RPCDestroyObject::getClass() const { return &classInfo; }

void RPCDestroyObject::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pObject);
}

void RPCDestroyObject::describe(PropertyContainer* c) { addPropertyPointer(&pObject, c, u""); }

void RPCDestroyObject::execute() {
    if (!pObject) return;
    NetRole* role = QorNetwork::currentRole();
    if (role && pObject->objectUID >= 1) role->unregisterObject(pObject);
    // Unregistered, the object now ends directly.
    QorBase* object = pObject;
    pObject = nullptr;
    object->destroy();
}

void destroyObjectRemotely(QorBase* object) {
    NetRole* role = QorNetwork::currentRole();
    RPCDestroyObject call;
    call.pTarget = role ? role->roleObject : nullptr;
    call.pObject = object;
    if (role && RPC::executeRemotely(call)) role->sendRPC(call);
    RPC::executeLocally(call);
}
