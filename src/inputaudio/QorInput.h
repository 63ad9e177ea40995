#pragma once
// The input service: keyboard, joysticks, mouse and touch, polled once per worked frame
// into the engine's input codes (0..455) and pointer contacts.
#include <array>
#include <cstdint>

#include "engine/BasicLink.h"
#include "render/Vector3.h"

class ClassInfo;
class TouchPoint;

class QorInput {
public:
    static constexpr int kInputCodeCount = 456;
    static constexpr int kMouseButtonCount = 4;
    enum InputMode { kModeNone = 0, kModeMouse = 1, kModeTouch = 2 };

    QorInput();
    virtual ClassInfo* getClass() const;
    virtual ~QorInput();
    // On the step from running to paused every contact ends and the buttons clear.
    virtual void onQORmodeChange(int oldMode, int newMode);
    static ClassInfo classInfo;

    // Centres the pointer in the virtual screen and selects touch mode.
    void initInputMode();
    void setInputMode(int mode);
    void mouseButtonDown(int button);
    void mouseButtonUp(int button);
    void setRawMousePos(int x, int y);
    void addWheelDelta(int delta);
    TouchPoint* findTouchByTag(int tag);
    TouchPoint* getTouch(int n);
    void addTouch(TouchPoint* contact);
    void deleteTouches();
    void poll();

    int inputMode = kModeNone;
    char16_t typedChar = 0;  // the character typed this frame, 0 when none
    std::array<std::uint8_t, kInputCodeCount> keys{};      // bit 7: down now
    std::array<std::uint8_t, kInputCodeCount> prevKeys{};  // bit 7: down at the previous poll
    std::array<std::uint8_t, kMouseButtonCount> mouseButtons{};      // 0 up, 1 down, 2 pressed and released
    std::array<std::uint8_t, kMouseButtonCount> prevMouseButtons{};
    std::array<int, kMouseButtonCount> mousePressFrame{};
    BasicLink touchList;   // the contacts (TouchPoint), in creation order
    Vector3 pointer{};     // virtual-screen units, y up; z the wheel steps
    Vector3 pointerDelta{};
    int rawMouseX = 0, rawMouseY = 0;  // client pixels
    int wheelDelta = 0;
};
