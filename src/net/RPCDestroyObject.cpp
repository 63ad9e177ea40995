#include "net/RPCDestroyObject.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyPointer.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS(_4472ef3a, RPC, (&makeInstance<_4472ef3a, RPC>))

_4472ef3a::_4472ef3a() {
    bServerSide = 1;
    bClientSide = 1;
}

ClassInfo* _4472ef3a::getClass() const { return &classInfo; }

void _4472ef3a::serialize(Packet& p) {
    RPC::serialize(p);
    p.doPointer2(pObject);
}

void _4472ef3a::describe(PropertyContainer* c) { addPropertyPointer(&pObject, c, u""); }

void _4472ef3a::execute() {
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
    _4472ef3a call;
    call.pTarget = role ? role->roleObject : nullptr;
    call.pObject = object;
    if (role && RPC::executeRemotely(call)) role->sendRPC(call);
    RPC::executeLocally(call);
}
