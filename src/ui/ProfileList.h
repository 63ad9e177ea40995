#pragma once
// The rows of the players screen as seen by keyboard and pad navigation: an invisible
// widget whose navigation points are the rows of the named profiles, so that the arrow
// keys can rest the pointer on a row and the activate key select it. Draws nothing; the
// players screen draws the rows itself. Reads Global's profiles.
#include "render/Renderable.h"
#include "ui/NavigationTarget.h"

class ProfileList : public Renderable, public NavigationTarget {
public:
    static constexpr float kRowX = -150.0f;      // world units: the left end of a row
    static constexpr float kFirstRowY = 135.0f;  // the middle of row 0
    static constexpr float kRowStep = 30.0f;

    // The middle height of row i in the screen's world units.
    static float rowY(int i) { return kFirstRowY - kRowStep * static_cast<float>(i); }

    void render() override;
    // Row i's point in screen units while i is below the number of profiles, then none.
    Vector3 getNavigationPoint(int i) override;
    // Over one of the rows.
    bool isUnderPointer() override;
};
