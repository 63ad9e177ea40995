#pragma once
// The title menu's greeting of the current player ("Hello, %s!") with an invitation to
// click it to change players: a click opens the Players screen, and a current profile
// without a name brings up the name entry at once.
#include "render/Renderable.h"
#include "ui/NavigationTarget.h"

class FadingText;

class ProfileWidget : public Renderable, public NavigationTarget {
public:
    ProfileWidget();

    void tick(double time, double dt) override;
    void render() override;
    // The hint follows the input mode (tap or click).
    void onInputModeChange() override;
    Vector3 getNavigationPoint(int i) override;
    bool isUnderPointer() override { return isHovered(); }
    void setHint();

    FadingText* nameLabel = nullptr;  // children
    FadingText* hintLabel = nullptr;

private:
    bool isHovered() const;
};
