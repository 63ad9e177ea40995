#pragma once
// Remote call: appends a child to the target.
#include <cstdint>

#include "net/RPC.h"

class _02468b57 : public RPC {
public:
    _02468b57();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    QorBase* pChild = nullptr;  // the object to add, not owned
};
