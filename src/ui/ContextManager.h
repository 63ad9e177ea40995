#pragma once
// The screen stack: the one context the engine's frame ticks and draws. Its children are
// the application's screens, the first at the bottom, the last on top. Only the top
// screen is ticked, drawn and given input; the screens beneath are frozen (their clocks
// stand still) until they are on top again.
//
// A screen is opened by pushing it (addChild) and closed by setting its bFinished; the
// stack removes a finished screen when it is the top, tells it onDeactivate(true) and
// deletes it when it has bDeleteOnClose. A screen that becomes the top is told
// onActivate(first activation). The stack closes the top screen on Escape or the fire
// keys where the screen asks for it, asks "Are you sure?" first where it wants
// confirmation, draws the mouse pointer and the iris overlay above every screen, shows
// the frame rate (the mean over at least an eighth of a second of frames) when the
// configuration asks (in the top-right corner, or just below what the top screen shows
// there and must keep readable), and requests the end of the program once it is empty.
//
// Lifetime: created by Global's first start-up stage and owned by Global. It owns its
// screens (deleted top to bottom with it) and its two layers. Main thread only.
#include <cstdint>

#include "engine/Link.h"
#include "render/Context.h"

class IrisOverlay;
class MousePointer;

class ContextManager : public Context {
public:
    static constexpr double kFrameRateRefresh = 0.125;  // s, the shortest window of the shown rate

    // Builds the pointer layer with the shared mouse pointer and the overlay layer with
    // the iris; needs the "mousePointer" texture.
    ContextManager();
    // Deletes both layers, then the screens still stacked, top to bottom.
    ~ContextManager() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Pushes `screen` as the new top: clears its bFinished and appends it. It is
    // activated by the next tick. The stack owns it from now on.
    void addChild(Context* screen);
    // The top screen, or null when the stack is empty.
    Context* top() const { return static_cast<Context*>(lastChild); }

    // Hit finding for mouse and touch events: the top screen only.
    QorBase* findNthHit(int& n) override;
    void tickContents(double time, double dt) override;
    void renderContents() override;

    std::uint8_t bQuitRequested = 0;        // the stack became empty, or a screen asked to quit
    Context* pointerLayer = nullptr;        // owned; holds the shared mouse pointer
    MousePointer* pMousePointer = nullptr;  // child of pointerLayer
    Context* overlayLayer = nullptr;        // owned; drawn above every screen
    IrisOverlay* pOverlay = nullptr;        // child of overlayLayer
    Link pActiveScreen;                     // the screen last activated; empty after a removal
    Context* pTop = nullptr;                // the top screen as seen in the present tick
    float displayedFrameRate = 0.0f;        // frames per second over the last whole window
    int frameRateWindowFrames = 0;          // the engine's worked frames when the window began
    double frameRateWindowStart = 0.0;      // s of game time, the frame start the window began at
    std::int32_t confirmResult = -1;        // the confirmation's answer: -1 none, 0 yes, 1 no

private:
    void removeFinishedScreens();
    void activateTop();
    void tickTop(double time, double dt);
    void handleClosingKeys();
    void askToConfirm();
    void countFrames();
    void drawFrameRate(const Context& screen);
};
