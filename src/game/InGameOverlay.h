#pragma once
// A modal tip or explanation panel that a game mode pushes on the screen stack above the
// running game. The game stays visible under a darkened panel while black bars slide in
// at the top and bottom; the panel's lines appear half a second after it starts to open;
// once it is fully open, a touch or either player's fire key going down closes it. As
// the screen stack ticks only its top screen, the game waits while the panel is up.
//
// States: 1 opening (0.5 s), 2 shown (until dismissed), 3 closing (0.5 s; the lines go
// at once), 4 closed (finished: the stack removes and deletes it). Input only counts in
// state 2, and only a key or touch that goes down then: one held while the panel opens
// does not close it.
//
// Use: make one, add its lines (addLine, or FadingText children of `pContent`), push it
// on the screen stack. The current game (GameGlobal::pCurrentGame) is drawn beneath it;
// without a current game the overlay draws nothing at all. Owns `pContent` whether or not it is attached yet. Main
// thread only.
#include <cstdint>
#include <string>

#include "render/Context.h"
#include "render/UColor.h"

class FadingText;

class InGameOverlay : public Context {
public:
    enum State : std::int32_t { kOpening = 1, kShown = 2, kClosing = 3, kClosed = 4 };
    static constexpr double kOpenTime = 0.5;     // s of opening, of closing, and before the lines appear
    static constexpr float kBarHidden = -20.0f;  // bar height at rest: negative draws nothing
    static constexpr float kBarShown = 48.0f;    // virtual pixels, fully open
    static constexpr int kPanelAlpha = 128;      // of the panel, fully open
    static constexpr UColor kLineColour = 0xFFFFFFFFu;

    // Opening at once (state 1).
    InGameOverlay();
    // Deletes `pContent` when it was never attached.
    ~InGameOverlay() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;
    // The game's, but for what the black bars hide.
    void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const override;
    void onStateChanged() override;

    // A white line centred at (0, y) in font `fontIndex` (MenuFonts: tiny .. HUD), shrunk
    // to fit the screen's width, appended to `pContent`; returns it (owned by the panel).
    FadingText* addLine(std::u16string text, int fontIndex, float y);

    // The height of the black bars over the game now: the top screen's when it is a panel
    // (which draws the game beneath it), else kBarHidden.
    static float barSizeOverGame();

    // a + (b - a) x (1 - (1 - t)^2) with t clamped to [0, 1] first: a quick start that
    // settles gently.
    static float easeOutQuad(float a, float b, float t);

    float barSize = 0.0f;              // height of each black bar, virtual pixels
    QorBase* pContent;                 // the panel's lines; attached as a child 0.5 s after opening
    UColor panelColour = 0x004D4D4Du;  // the full-screen panel; its alpha is animated

private:
    void animate();
    bool dismissPressed() const;
    void setPanelAlpha(int alpha);
    void drawGameBeneath();
};
