#pragma once
// Remote call: puts the target in a state at once, without its change notification.
#include <cstdint>

#include "net/RPC.h"

class _21ae2a05 : public RPC {
public:
    _21ae2a05();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::int32_t newState = 0;
};
