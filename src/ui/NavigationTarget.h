#pragma once
// What a menu's keyboard and pad navigation asks of a widget: the points, in screen
// units (virtual pixels from the lower left corner, y up), where the pointer can rest
// on it. Point i for i = 0, 1, 2, ...; (-1, -1, -1) after the last one.
#include "render/Vector3.h"

class NavigationTarget {
public:
    virtual Vector3 getNavigationPoint(int index) = 0;

protected:
    ~NavigationTarget() = default;
};
