#pragma once
// One side's in-game display: the counting score, the health and blaster bars of the
// side's vehicle, the queue of weapon and bonus labels (WeaponButton children), the panel
// of active bonus icons at the bottom corner, an arrow at the screen edge pointing to a
// vehicle out of view, the mouse arrow while the side aims with the mouse, and (side 0,
// touch mode) the button that opens the pause screen.
//
// Side 0's display stands at the top left, side 1's at the top right as its mirror image
// (the HUD is turned half a turn about y). It starts hidden, out of view beyond the
// screen edge, and slides in within one second once a game clears bHidden.
//
// Units: the overlay's virtual pixels, origin at the screen centre, y up; seconds.
//
// Lifetime: made by the game controller, one per side, as a child of its overlay; lives
// as long as the controller. Owns its labels (children) and the touch button; reads the
// side's PlayerData and vehicle in the current game, which it does not own. Draws the
// skins "ovalButtons:0" and ":1", "hud-touchscreen:1", "hud-energybar:0" and ":1" and
// "mouseArrow:0"; a missing one is left out. Main thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "render/Camera.h"
#include "render/Renderable.h"

class Vehicle;

class HudOverlay : public Renderable {
public:
    static constexpr float kOutside = 128.0f;          // units beyond the screen edge when out of view
    static constexpr float kInside = 96.0f;            // units inside the screen edge when in place
    static constexpr double kButtonShowTime = 3.0;     // s the oldest label stays before it leaves
    static constexpr float kButtonLeaveSpeed = 25.0f;  // units per second at which it moves up and out
    static constexpr float kButtonSpacing = 25.0f;     // units between labels, and the offset after one left
    static constexpr int kShownButtons = 5;            // labels placed, ticked and drawn
    static constexpr int kPanelIcons = 8;              // icons the bonus panel widens for
    static constexpr float kIconSpacing = 24.0f;       // units per bonus icon
    // Units below the HUD's y where the plate's picture ends: its band is 35 deep under
    // the bars, its outline reaches 1.25 further. The skin's lower half runs on, clear,
    // to 48.
    static constexpr float kPlateDepth = 36.25f;

    explicit HudOverlay(int side);

    // Slide, position, score count-up, panel width and the label queue (see the .cpp).
    void tick(double time, double dt) override;
    // Mouse arrow, edge arrow, labels, the HUD's own oval, score, bars and bonus panel,
    // touch button.
    void render() override;

    // Adds the boxes of what a text laid over the game must not cover (overlay units):
    // the score, the labels shown (none while the plate is hidden) and, while shown, the
    // touch button.
    void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const;
    // Whether a panel's black bar over the game covers the HUD's plate as drawn (down to
    // kPlateDepth). The labels beside the plate are then hidden with it, not left half
    // under the bar.
    bool plateHidden() const;
    // Whether the touch pause button is shown: side 0's display, in place or sliding
    // in, in touch mode. Only then does a touch on it pause the game.
    bool showsTouchButton() const;
    // Whether the mouse arrow is drawn: the side aims with the mouse in a game being
    // played (on top of the screen stack, its vehicle up and steerable).
    bool showsMouseArrow() const;
    // The side's vehicle in the current game, or null.
    Vehicle* vehicle() const;
    // Starts a change of the bonus panel's width when the number of icons (at most
    // kPanelIcons counted) differs from the last count; render calls it every frame.
    void trackIconCount(int icons);

    std::int32_t side;             // 0 or 1
    float slide = 0.0f;            // 0 out of view .. 1 in place
    std::uint8_t bHidden = 1;      // set: slides out; clear: slides in
    float scoreAnim = 1.0f;        // progress 0..1 of the score count-up
    std::int32_t shownScore = 0;   // the score as drawn
    std::int32_t scoreFrom = 0;    // start value of the count-up
    std::int32_t scoreTarget = 0;  // the side's score when last read
    float buttonOffset = -20.0f;   // units: vertical offset of the label queue
    double buttonTimer = 0.0;      // s the oldest label has been the oldest
    std::uint8_t bShowOffscreenArrow = 1;
    float panelAnim = 0.0f;      // progress 0..1 of the bonus panel's width change
    float panelFrom = 0.0f;      // units: width at the start of the change
    float panelTo = 0.0f;        // units: width at its end
    float panelWidth = 0.0f;     // units: width now
    std::int32_t iconCount = 0;  // bonus icons when last counted (at most kPanelIcons)
    Renderable touchButton;      // the pause button of touch mode; owned, not in the tree

private:
    float outward() const { return side == 0 ? -1.0f : 1.0f; }
    void placeTouchButton();
    void countScore(double dt);
    void advanceButtons(double dt);
    void drawMouseArrow(Vehicle& v);
    void drawEdgeArrow(Vehicle& v);
    void drawButtons();
    std::u16string scoreText() const;
    void drawScore();
    void drawBar(int skin, float fraction, float y, bool boosted);
    void drawBonusPanel(Vehicle& v);
};
