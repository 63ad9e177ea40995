#pragma once
// Remote call: reseeds the current role's random generator with a value, so that both
// sides draw the same sequence from then on.
// Registered as "_cfad751b": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCReseed : public RPC {
public:
    RPCReseed();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // The target, then the seed as 4 raw little-endian bytes.
    void serialize(Packet& p) override;
    void describe(PropertyContainer* c) override;
    void execute() override;
    std::uint32_t seed = 0;
};
