#pragma once
// Remote call: the target's second argument-less hook.
// Registered as "_9a4605a1": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCRemoteSignalB : public RPC {
public:
    RPCRemoteSignalB();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
