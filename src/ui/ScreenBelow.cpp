#include "ui/ScreenBelow.h"

#include "render/Context.h"

Context* ScreenBelow::of(const Context& screen) {
    return screen.prev ? dynamic_cast<Context*>(static_cast<QorBase*>(screen.prev)) : nullptr;
}

void ScreenBelow::draw(const Context& screen) {
    if (Context* below = of(screen)) below->frameRender();
}

void ScreenBelow::tickHooks(const Context& screen) {
    for (Context* below = of(screen); below; below = of(*below)) {
        if (!below->hookBefore && !below->hookAfter) continue;
        // A hook context runs on the engine's frame time; the arguments are its own.
        if (below->hookBefore) below->hookBefore->tick(below->localTime, screen.dt);
        if (below->hookAfter) below->hookAfter->tick(below->localTime, screen.dt);
        return;
    }
}
