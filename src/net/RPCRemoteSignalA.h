#pragma once
// Remote call: the target's first argument-less hook.
// Registered as "_67719ab0": peers know the class by that name and its id.
#include <cstdint>

#include "net/RPC.h"

class RPCRemoteSignalA : public RPC {
public:
    RPCRemoteSignalA();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
