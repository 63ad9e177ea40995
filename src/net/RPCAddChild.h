#pragma once
// Remote call: appends a child to the target.
// Registered as "_02468b57": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCAddChild : public RPC {
public:
    RPCAddChild();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    QorBase* pChild = nullptr;  // the object to add, not owned
};
