#pragma once
// Remote call: removes a child from the target.
#include <cstdint>

#include "net/RPC.h"

class _98af025c : public RPC {
public:
    _98af025c();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    QorBase* pChild = nullptr;  // the object to remove, not owned
};
