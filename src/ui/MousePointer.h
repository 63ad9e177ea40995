#pragma once
// The pointer sprite drawn above every screen: the first skin of the texture
// "mousePointer", following the pointer. Normally hidden in touch mode; with the
// debugging aids unlocked it stays, faint, so that touches can be followed.
//
// Owned by the screen stack's pointer layer. Its skin belongs to the texture.
#include "render/Renderable.h"

class MousePointer : public Renderable {
public:
    static constexpr std::uint32_t kTouchDebugAlpha = 64;

    // Takes the first skin of the texture "mousePointer"; fatal when it is not loaded.
    MousePointer();
    // Moves to the pointer of the context being ticked and sets the visibility.
    void tick(double time, double dt) override;
};
