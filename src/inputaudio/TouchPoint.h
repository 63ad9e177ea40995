#pragma once
// One pointer contact: the mouse (tag 0) in mouse mode, or a touch (tag = its id).
// The window hooks write the raw fields; the input service maps them to the screen.
#include <cstdint>

#include "engine/QorBase.h"
#include "render/Vector3.h"

class TouchPoint : public QorBase {
public:
    TouchPoint();

    int id;                          // process-wide creation number
    Vector3 rawPressPosition{};      // client pixels where the contact began
    Vector3 rawPosition{};           // client pixels now
    Vector3 previousRawPosition{};   // client pixels at the previous frame
    double lastUpdateTime = 0.0;     // s, game time of the last update
    double previousUpdateTime = 0.0; // s, game time of the update before
    int tag = -1;                    // 0 mouse, touch id, -1 once ended
    int downFrame = -1;              // engine frame numbers
    int upFrame = -1;
    int lastMoveFrame = -1;
    std::uint8_t pressed = 0;        // pressed this frame
    std::uint8_t released = 0;       // released this frame
    std::uint8_t held = 0;           // down

private:
    static int nextId;
};
