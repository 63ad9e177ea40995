#pragma once
// A widget that keyboard and pad navigation can reach: the points, in screen units
// (x from the left edge, y up from the bottom edge of the virtual screen), where the
// pointer may rest on it.
#include "engine/Vector3.h"

class NavigationTarget {
public:
    // Ends the list of points.
    static constexpr Vector3 kNoPoint{-1.0f, -1.0f, -1.0f};

    virtual ~NavigationTarget() = default;
    // The i-th point (i = 0, 1, ...), or kNoPoint after the last one.
    virtual Vector3 getNavigationPoint(int i) = 0;
    // Whether the pointer of the screen that ticks the widget is over it; when the mouse
    // leaves the picture, the menu's keys carry on from the widget's point nearest the
    // pointer's last place on it. Never, unless the widget says.
    virtual bool isUnderPointer() { return false; }
};
