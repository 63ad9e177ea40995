#pragma once
// Remote call: changes the target's state at once or after a delay.
// Registered as "_7b13321b": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCSetStateDelayed : public RPC {
public:
    RPCSetStateDelayed();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::int32_t newState = 0;
    double delay = 0.0;  // s
};
