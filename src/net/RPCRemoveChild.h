#pragma once
// Remote call: removes a child from the target.
// Registered as "_98af025c": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCRemoveChild : public RPC {
public:
    RPCRemoveChild();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    QorBase* pChild = nullptr;  // the object to remove, not owned
};
