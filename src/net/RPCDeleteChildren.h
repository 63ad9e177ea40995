#pragma once
// Remote call: empties the target's child list.
#include <cstdint>

#include "net/RPC.h"

class _ae3f6255 : public RPC {
public:
    _ae3f6255();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void execute() override;
};
