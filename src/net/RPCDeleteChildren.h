#pragma once
// Remote call: empties the target's child list.
// Registered as "_ae3f6255": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCDeleteChildren : public RPC {
public:
    RPCDeleteChildren();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
