#pragma once
// The mapping between the window's drawable pixels (x right, y down) and the virtual
// screen (x from 0 at the viewport's left edge to its width at the right edge, y from 0
// at the bottom edge to its height at the top edge), through the letterboxed viewport
// and, where the back buffer is shown scaled (full screen), through that scaling too.
// Points outside the viewport land on its edge; a viewport of zero width or height
// maps everything to 0 on that axis.
#include "engine/Vector3.h"
#include "engine/VirtualScreen.h"

// The default is an 800x480 window without letterbox, which the input service uses
// until the graphics service hands it the real viewport.
struct ViewportMapping {
    // Drawable pixels to virtual-screen units; z passes through.
    Vector3 toScreen(const Vector3& raw) const;
    // Virtual-screen units to drawable pixels (not rounded); z passes through.
    Vector3 toWindow(const Vector3& screen) const;
    // Whether drawable pixel `raw` lies on the picture: inside the viewport, not on a bar
    // beside it nor off the window.
    bool shows(const Vector3& raw) const;

    float left = 0.0f;  // viewport edges, drawable pixels
    float top = 0.0f;
    float right = kVirtualScreenWidth;
    float bottom = kVirtualScreenHeight;
    float width = kVirtualScreenWidth;  // virtual-screen size, units
    float height = kVirtualScreenHeight;
};
