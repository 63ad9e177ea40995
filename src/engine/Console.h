#pragma once
// The developer console: a context drawn above the scene while debugging is unlocked.
#include "render/Context.h"

class Console : public Context {
public:
    Console();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
};
