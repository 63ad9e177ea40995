#pragma once
// A screen or layer with its own clock: screens, the console and game controllers are
// contexts. The engine ticks and draws the scene's context once per frame.
#include "engine/QorBase.h"

class Context : public QorBase {
public:
    Context() = default;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // One frame of the context's tree; time and step are ignored by the base: the
    // context advances its own clock.
    virtual void frameTick(double time, double dt);
    virtual void frameRender();
};
