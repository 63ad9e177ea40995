#pragma once
// The input service: the keyboard, up to four joysticks, the mouse and touch, turned
// once per worked frame into the engine's input codes and the pointer's contacts.
//
// Input codes, 0 to 455:
//   0            no key
//   1 to 255     keyboard, PC set-1 scan codes (extended keys + 0x80): 1 Escape,
//                28 Return, 42 left Shift, 57 Space, 200 Up ...
//   256 + 48j    joystick j (0 to 3): + 0 up, + 1 down, + 2 left, + 3 right,
//                + 16 + b button b (0 to 31); + 4 to + 15 stay 0
//   448 to 455   names only: mouse up, down, left, right, buttons 0 to 3
// A state byte means down when bit 7 is set. The mouse buttons are tracked apart.
//
// The poll (once per worked frame, after the engine's frame counter has advanced and
// before anything is ticked) gives every object one consistent snapshot: current and
// previous state of every code, the modifier keys, key repeat, the contacts and the
// pointer. Between frames the window hooks (WMhooks) record mouse and touch events here.
//
// Lifetime: one per engine object, built after the mouse-event dispatcher and before
// graphics, deleted after graphics. Needs the engine object (`qor`) throughout. Its
// settings, in the section "QorInput" of the per-machine settings file, are read once.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "inputaudio/ViewportMapping.h"
#include "platform/JoystickState.h"

class ClassInfo;
class InputDevices;
class TouchPoint;

class QorInput {
public:
    static constexpr int kInputCodeCount = 456;
    static constexpr int kKeyboardCodes = 256;
    static constexpr int kMaxJoysticks = 4;
    static constexpr int kJoystickBase = 256;
    static constexpr int kJoystickCodes = 48;         // codes per joystick
    static constexpr int kJoystickButtonOffset = 16;  // of button 0 within a joystick's codes
    static constexpr int kJoystickButtons = 32;
    static constexpr int kJoystickAxisRange = 1000;  // axes report -1000 to 1000
    static constexpr int kMouseButtonCount = 4;
    static constexpr std::uint8_t kDown = 0x80;
    enum Direction { kDirUp = 0, kDirDown = 1, kDirLeft = 2, kDirRight = 3 };  // offsets in a joystick's codes
    enum InputMode { kModeNone = 0, kModeMouse = 1, kModeTouch = 2 };
    // modifierState values.
    enum Modifiers { kNoModifier, kShift, kCtrl, kAlt, kCtrlAlt, kCtrlShift, kAltShift, kCtrlAltShift };

    // Uses the system's keyboard and joysticks through the engine's window.
    QorInput();
    // Uses `devices` instead (tests); takes ownership.
    explicit QorInput(std::unique_ptr<InputDevices> devices);
    virtual ClassInfo* getClass() const;
    virtual ~QorInput();
    // On the step from running (3) to paused (2) every contact ends at once and the
    // buttons' current and previous states clear; other steps change nothing.
    virtual void onQORmodeChange(int oldMode, int newMode);
    static ClassInfo classInfo;
    QorInput(const QorInput&) = delete;
    QorInput& operator=(const QorInput&) = delete;

    // The per-frame update; only the engine's frame calls it.
    void poll();
    // Down in this poll and not in the previous one: true in exactly one frame per press.
    bool wasPressed(int code) const;
    // Key repeat for the menus, called once per frame after the scene's tick: the
    // lowest code newly pressed in this poll; else the last one while it is held and
    // the repeat timer has run out (first after repeatDelay, then every repeatRate);
    // else 0.
    int getRepeatedKey();
    // Joystick j's stick after the dead zone, x right and y up, each -1 to 1, z 0;
    // zero for a joystick that is not in use.
    Vector3 getJoystickAxes(int j) const;
    // Joystick j's hats: x and y each -1, 0 or 1 (up positive), z 0.
    Vector3 getJoystickHat(int j) const;

    // Chooses the first input mode; called once by the engine's constructor after
    // graphics exists. With a mouse over the window, mouse mode from where its cursor is
    // (followMouse); with a mouse elsewhere, mouse mode and the pointer in the middle of
    // the virtual screen; with no mouse at all (a touch screen), touch mode and the
    // pointer in the middle.
    void initInputMode();
    // Switches between mouse (1) and touch (2): places the cursor for the new mode and
    // tells every engine object. The same mode again does nothing.
    void setInputMode(int mode);
    // The mouse reports its cursor at (x, y), drawable pixels: mouse mode, the pointer
    // taken from there. Coming from another mode the pointer goes to the cursor rather
    // than the cursor to the pointer, so the mouse is never moved under the player's hand.
    void followMouse(int x, int y);
    // Puts the pointer at (x, y, z) in virtual units with no delta; in mouse mode the
    // mouse's last place becomes the pointer's pixel, the pointer stays exactly at (x, y)
    // until the mouse moves, and the system cursor follows while it is over the window
    // (one outside is never moved).
    void setMousePos(float x, float y, float z);
    // The mouse's place, or the pointer's where the program puts it (drawable pixels):
    // on the window from here on.
    void setRawMousePos(int x, int y);
    // In mouse mode, whether the mouse has left the window since its last place, or that
    // place lies on a bar beside a letterboxed picture: the pointer then stands on the
    // picture's edge, where the player did not put it, and means nothing to what a key does.
    bool isPointerOffPicture() const;
    // Buttons 0 left, 1 right, 2 middle, 3; others are ignored.
    void mouseButtonDown(int button);
    void mouseButtonUp(int button);
    void addWheelDelta(int delta);  // 120 per notch

    // Contacts, oldest first; null or false past the end of the list.
    TouchPoint* getTouch(int n) const;
    TouchPoint* findTouchByTag(int tag) const;
    bool isTouchPressed(int n) const;
    bool isTouchHeld(int n) const;
    bool anyTouchPressed() const;
    const void* getTouchOwner() const;  // `handled` of the first contact, null when none
    // A synthetic click at the pointer: pressed in the next frame, released in the one after.
    void addMouseContact();
    // Appends a contact the window hooks made; the list owns it from then on.
    void addTouch(TouchPoint* contact);
    // Destroys every contact at once, newest first.
    void deleteTouches();
    // A key's press as the window reports it, before the characters it types (code: an
    // input code; modifiers: WindowListener::Modifier bits). True when keyPressTaker takes
    // it as a command of a layer above the scene (the console's chord): the window then
    // drops what the press types, so that none of it reaches a screen.
    bool keyPressed(int code, unsigned modifiers, bool repeat) const;
    // Set by the layer that takes key presses for itself, on their own events rather than
    // on the polled key states: true when it took this one.
    std::function<bool(int code, unsigned modifiers, bool repeat)> keyPressTaker;
    // A character the window reports: typedChar of the coming frame, or of a later one
    // when that frame already has one, so that characters typed within one frame are
    // not lost (up to a few dozen waiting).
    void typeCharacter(char16_t c);
    // At the end of a frame: the next waiting character becomes typedChar, or 0.
    void nextTypedCharacter();
    // Runs `tick` as if no keyboard were there: no key down in this poll or the previous
    // one, no modifier, no character typed; then puts the keyboard's state back, so the
    // next poll finds a key still held as held, not as a new press. For the frames in
    // which a layer above the scene (the console) has the keyboard to itself.
    void runWithoutKeyboard(const std::function<void()>& tick);

    // Where the window's pixels lie on the virtual screen: the graphics service, which
    // sizes the viewport, sets the source while it exists; without it, the default.
    ViewportMapping viewport() const { return viewportSource ? viewportSource() : ViewportMapping{}; }
    std::function<ViewportMapping()> viewportSource;

    int inputMode = kModeNone;
    int modifierState = kNoModifier;
    char16_t typedChar = 0;           // the character typed for this frame, 0 when none
    std::deque<char16_t> typedAhead;  // characters waiting for the frames after
    QorBase contactList;              // the contacts (TouchPoint), oldest first
    Vector3 pointerPosition{};        // virtual units, y up; z the wheel position in mouse mode
    Vector3 pointerDelta{};           // change of pointerPosition in the last poll
    bool bTrackKeyboard = true;
    std::array<std::uint8_t, kInputCodeCount> keyState{};          // this poll
    std::array<std::uint8_t, kInputCodeCount> previousKeyState{};  // the previous poll
    double repeatRate = 0.1;                                       // s between repeats
    double repeatDelay = 0.25;                                     // s before the first repeat
    double repeatTimer = 0.0;                                      // s left until the next repeat
    int repeatCode = 0;                                            // the code being repeated
    bool bTrackJoystick = true;
    int numJoysticks = 0;           // joysticks in use, slots 0 to numJoysticks - 1
    double joystickDeadZone = 0.2;  // fraction of full deflection, 0 to 1
    std::array<JoystickState, kMaxJoysticks> joystickState{};
    std::array<std::uint8_t, kMouseButtonCount> mouseButtonState{};          // 1 down in this poll
    std::array<std::uint8_t, kMouseButtonCount> previousMouseButtonState{};  // 1 down in the previous poll
    std::array<int, kMouseButtonCount> mouseButtonLatch{};  // 0 up, 1 down, 2 released within its press frame
    std::array<int, kMouseButtonCount> mouseButtonPressFrame{-1, -1, -1, -1};  // engine frame of the last press
    std::array<int, 2> rawMousePosition{};                                     // drawable pixels
    std::array<int, 2> placedMousePosition{-1, -1};  // rawMousePosition when setMousePos last put the pointer
    bool bMouseAway = false;                         // the mouse left the window after rawMousePosition was set
    int wheelSum = 0;                                // all wheel deltas so far

private:
    void readSettings();
    void openDevices();
    void enumerateCallback(int index);
    void advanceRepeatTimer();
    void latchMouseButtons();
    void pollKeyboard();
    void updatePointer();
    void pollJoysticks();
    // Stores `mode` and tells every engine object, placing the cursor for it first when
    // `placeCursor` is set.
    void changeInputMode(int mode, bool placeCursor);

    std::unique_ptr<InputDevices> devices;
};
