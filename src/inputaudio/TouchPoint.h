#pragma once
// One contact: a finger on a touch screen, or the left mouse button while it is held
// (in mouse mode). The window hooks write its raw fields between frames, in drawable
// pixels and engine frame numbers; its tick, run by the input service's poll, maps
// them into the virtual screen and turns them into per-frame flags and a velocity.
//
// States: 0 new, 1 down (the frame of the press), 2 held, 3 up (the frame of the
// release). A contact reads as pressed in its down frame, held until released, and
// released (and tapped when it never moved) in its up frame, or in the frame after its
// press when the release came earlier; in the tick after that it flags itself for
// deletion and the contact list destroys it.
//
// Lifetime: owned by the input service's contact list; needs the engine object.
#include <cstdint>

#include "engine/QorBase.h"
#include "engine/Vector3.h"

struct ViewportMapping;

class TouchPoint : public QorBase {
public:
    enum State { kStateNew = 0, kStateDown = 1, kStateHeld = 2, kStateUp = 3 };
    // Raw pixels a contact must travel from its press before it counts as moved.
    static constexpr float kMoveThreshold = 20.0f;
    // Speeds below this many virtual units per second read as 0.
    static constexpr float kMinSpeed = 10.0f;
    // Frames after the last movement at which the velocity drops to 0.
    static constexpr int kVelocityFrames = 10;

    TouchPoint();
    ~TouchPoint() override;

    // Run once per poll, with the engine's frame counter already advanced.
    void tick(double time, double dt) override;
    void onStateChanged() override;

    int id;                           // process-wide creation number
    Vector3 rawPressPosition{};       // drawable pixels at the press
    Vector3 rawPosition{};            // drawable pixels now (z stays 0)
    Vector3 previousRawPosition{};    // drawable pixels before the first move of this frame
    Vector3 pressPosition{};          // virtual units at the press
    Vector3 pos{};                    // virtual units now
    Vector3 delta{};                  // change of pos in the last tick
    Vector3 velocity{};               // virtual units per second
    double lastUpdateTime = 0.0;      // s of engine time, the latest event
    double previousUpdateTime = 0.0;  // s, the event before the first move of this frame
    const void* handled = nullptr;    // the object that claimed the contact; only compared
    int tag = -1;                     // 0 mouse, a finger's tag, -1 once ended or synthetic
    int downFrame = -1;               // engine frame in which the press takes effect
    int upFrame = -1;                 // engine frame in which the release takes effect
    int lastMoveFrame = -1;           // engine frame of the latest movement
    std::uint8_t bPressed = 0;        // in state 1
    std::uint8_t bReleased = 0;       // in state 3
    std::uint8_t bHeld = 0;           // in states 1 and 2
    std::uint8_t bTap = 0;            // released without having moved
    std::uint8_t bMoved = 0;          // moved more than kMoveThreshold from the press

private:
    void updateVelocity(int frame, const ViewportMapping& mapping);
    void advanceState(int frame);

    static int nextId;
};
