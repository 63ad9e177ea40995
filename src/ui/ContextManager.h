#pragma once
// The screen stack: a context whose children are the screens, the last one on top.
// Only the top screen is ticked and drawn.
#include <cstdint>

#include "render/Context.h"

class ContextManager : public Context {
public:
    ContextManager() = default;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tick(double time, double dt) override;
    void render() override;
    QorBase* findNthHit(int& n) override;

    std::uint8_t bQuitRequested = 0;  // the stack became empty or a screen asked to quit

private:
    QorBase* top() const { return static_cast<QorBase*>(lastChild); }
    bool hadScreens = false;
};
