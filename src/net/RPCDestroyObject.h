#pragma once
// Remote call: deletes a replicated object on both sides. Its target is the role's own
// object; the argument is the object to delete, which leaves the role's table first.
// Registered as "_4472ef3a": peers know the class by that name and its id.
#include "net/RPC.h"

class RPCDestroyObject : public RPC {
public:
    RPCDestroyObject();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    QorBase* pObject = nullptr;  // the object to delete, not owned
};

// Ends a replicated object through the current role: the deletion call is sent when the
// rules of RPC::executeRemotely ask for it, and runs here.
void destroyObjectRemotely(QorBase* object);
