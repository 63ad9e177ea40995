#pragma once
// Remote call: the target's first argument-less hook.
#include <cstdint>

#include "net/RPC.h"

class _67719ab0 : public RPC {
public:
    _67719ab0();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
