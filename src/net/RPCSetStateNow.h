#pragma once
// Remote call: puts the target in a state at once, without its change notification.
// Registered as "_21ae2a05": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCSetStateNow : public RPC {
public:
    RPCSetStateNow();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::int32_t newState = 0;
};
