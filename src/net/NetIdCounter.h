#pragma once
// A replicated object that carries the current role's next network id, so that
// replicating it hands the id counter to the other side.
// Registered as "_04790976": peers know the class by that name and its id.
#include "engine/QorBase.h"

class NetIdCounter : public QorBase {
public:
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // QorBase's properties, then "THEROLE->nextObjectUID" (unsigned).
    void describeProperties(PropertyContainer* container) override;
};
