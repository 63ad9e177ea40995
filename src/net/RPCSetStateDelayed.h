#pragma once
// Remote call: changes the target's state at once or after a delay.
#include <cstdint>

#include "net/RPC.h"

class _7b13321b : public RPC {
public:
    _7b13321b();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::int32_t newState = 0;
    double delay = 0.0;  // s
};
