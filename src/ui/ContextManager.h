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

    // The stack's own clock and camera run as for any context; its contents are the top
    // screen only.
    void tickContents(double time, double dt) override;
    void renderContents() override;
    QorBase* findNthHit(int& n) override;

    std::uint8_t bQuitRequested = 0;  // the stack became empty or a screen asked to quit

private:
    QorBase* top() const { return static_cast<QorBase*>(lastChild); }
    bool hadScreens = false;
};
