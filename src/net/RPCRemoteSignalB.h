#pragma once
// Remote call: the target's second argument-less hook.
#include <cstdint>

#include "net/RPC.h"

class _9a4605a1 : public RPC {
public:
    _9a4605a1();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
