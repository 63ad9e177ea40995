#pragma once
// Remote call: reseeds the current role's random generator with a value, so that both
// sides draw the same sequence from then on.
#include <cstdint>

#include "net/RPC.h"

class _cfad751b : public RPC {
public:
    _cfad751b();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // The target, then the seed as 4 raw little-endian bytes.
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::uint32_t seed = 0;
};
