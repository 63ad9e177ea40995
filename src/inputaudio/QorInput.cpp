#include "inputaudio/QorInput.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/TouchPoint.h"
#include "inputaudio/ViewportMapping.h"
#include "platform/SdlInputDevices.h"
#include "platform/Window.h"

QOR_DEFINE_ROOT_CLASS(QorInput, nullptr)

namespace {
// Input codes the service itself reads.
constexpr int kKeyLeftCtrl = 29;
constexpr int kKeyLeftShift = 42;
constexpr int kKeyRightShift = 54;
constexpr int kKeyLeftAlt = 56;
constexpr int kKeyF10 = 68;
constexpr int kKeyF11 = 87;
constexpr int kKeyRightCtrl = 157;
constexpr int kKeyRightAlt = 184;

// While debugging, F11 runs the repeat timer this much faster and F10 slower.
constexpr double kFastForward = 5.0;
constexpr double kSlowMotion = 10.0;
// A stick or hat beyond this (after the dead zone) sets its direction code.
constexpr float kDirectionThreshold = 0.5f;

bool isDown(std::uint8_t state) { return (state & QorInput::kDown) != 0; }

float clampUnit(float v) { return std::clamp(v, -1.0f, 1.0f); }

// Indexed by Ctrl * 4 + Alt * 2 + Shift.
constexpr int kModifierTable[8] = {
    QorInput::kNoModifier, QorInput::kShift,     QorInput::kAlt,     QorInput::kAltShift,
    QorInput::kCtrl,       QorInput::kCtrlShift, QorInput::kCtrlAlt, QorInput::kCtrlAltShift,
};

// The stick's deflection outside the dead zone, rescaled so that the edge of the dead
// zone gives 0 and full deflection 1.
// Worked in double precision, so that 60 % deflection with the default dead zone gives
// exactly the direction threshold and not a hair above it.
float applyDeadZone(double v, double deadZone) {
    const double a = std::fabs(v);
    if (a <= deadZone || deadZone >= 1.0) return 0.0f;
    const double scaled = (a - deadZone) / (1.0 - deadZone);
    return clampUnit(static_cast<float>(v < 0.0 ? -scaled : scaled));
}
}  // namespace

QorInput::QorInput() : QorInput(std::make_unique<SdlInputDevices>(qor->hWindowHandle)) {}

QorInput::QorInput(std::unique_ptr<InputDevices> devices_) : devices(std::move(devices_)) {
    QOR_LOG("QorInput::QorInput", u"Starting...");
    readSettings();
    openDevices();
    QOR_LOG("QorInput::QorInput", u"Started.");
}

QorInput::~QorInput() {
    for (int j = 0; j < numJoysticks; ++j) devices->closeJoystick(j);
    deleteTouches();
}

ClassInfo* QorInput::getClass() const { return &classInfo; }

void QorInput::readSettings() {
    MemoryIniFile& s = qor->settings();
    const std::u16string section = classInfo.name;
    bTrackKeyboard = s.getBool(section, u"bTrackKeyboard", true);
    bTrackJoystick = s.getBool(section, u"bTrackJoystick", true);
    // A negative dead zone would let a resting stick drift; one of 1 would never let it move.
    joystickDeadZone = s.getDouble(section, u"joystickDeadZone", 0.2, 0.0, 0.95);
    // Seconds; a repeat faster than every frame would fire again each frame.
    repeatRate = s.getDouble(section, u"repeatRate", 0.1, 0.01, 10.0);
    repeatDelay = s.getDouble(section, u"repeatDelay", 0.25, 0.0, 10.0);
}

void QorInput::openDevices() {
    if (bTrackKeyboard) {
        QOR_LOG("QorInput::QorInput", u"Grabbing keyboard.");
        QOR_CHECK("QorInput::QorInput", devices->openKeyboard());
    }
    if (!bTrackJoystick) return;
    const int count = devices->countControllers();
    for (int i = 0; i < count; ++i) enumerateCallback(i);
    if (numJoysticks == 0) QOR_LOG("QorInput::QorInput", u"Did not find any joysticks.");
}

void QorInput::enumerateCallback(int index) {
    const std::string name = devices->controllerInstanceName(index);
    QOR_LOG("QorInput::enumerateCallback", u"Enumerating joystick: %hs (%hs)", name,
            devices->controllerProductName(index));
    if (numJoysticks == kMaxJoysticks) {
        QOR_LOG("QorInput::enumerateCallback", u"Too many joysticks.");
        return;
    }
    QOR_CHECK("QorInput::enumerateCallback", devices->openJoystick(index, numJoysticks));
    // Both ranges are always attempted, so the log names every missing axis.
    bool failed = false;
    if (!devices->setAxisRange(numJoysticks, 0, -kJoystickAxisRange, kJoystickAxisRange)) {
        QOR_LOG("QorInput::enumerateCallback", u"Error: Can't set range X.");
        failed = true;
    }
    if (!devices->setAxisRange(numJoysticks, 1, -kJoystickAxisRange, kJoystickAxisRange)) {
        QOR_LOG("QorInput::enumerateCallback", u"Error: Can't set range Y.");
        failed = true;
    }
    if (failed) {
        QOR_LOG("QorInput::enumerateCallback", u"Joystick initialization failed. Removing joystick...");
        devices->closeJoystick(numJoysticks);
        return;
    }
    QOR_LOG("QorInput::enumerateCallback", u"Using '%hs' as joystick %d.", name, numJoysticks);
    ++numJoysticks;
}

void QorInput::poll() {
    advanceRepeatTimer();
    latchMouseButtons();
    pollKeyboard();
    // The contacts tick before the pointer step reads the first of them.
    contactList.tick(0.0, 0.0);
    updatePointer();
    pollJoysticks();
}

void QorInput::advanceRepeatTimer() {
    if (repeatTimer <= 0.0) repeatTimer = repeatRate;
    double frameLength = qor->timer.frameStart - qor->timer.previousFrameStart;
    // The debugging time warp reads the keys as of the previous poll.
    if (!qor->bDebugLocked) {
        if (isDown(keyState[kKeyF11]))
            frameLength *= kFastForward;
        else if (isDown(keyState[kKeyF10]))
            frameLength /= kSlowMotion;
    }
    repeatTimer -= frameLength;
}

void QorInput::latchMouseButtons() {
    previousMouseButtonState = mouseButtonState;
    for (int b = 0; b < kMouseButtonCount; ++b) {
        switch (mouseButtonLatch[b]) {
            case 0:
                mouseButtonState[b] = 0;
                break;
            case 1:
                mouseButtonState[b] = 1;
                break;
            // Pressed and released between two polls: down for exactly this one.
            case 2:
                mouseButtonState[b] = 1;
                mouseButtonLatch[b] = 0;
                break;
            default:
                break;
        }
    }
}

void QorInput::pollKeyboard() {
    // Every code's previous state moves on, whether the keyboard is tracked or not, so
    // that a held joystick button is a new press only once.
    previousKeyState = keyState;
    if (!bTrackKeyboard) return;
    std::uint8_t fresh[InputDevices::kKeyboardBytes];
    if (!devices->readKeyboard(fresh)) {
        devices->acquireKeyboard();
        return;
    }
    std::copy(std::begin(fresh), std::end(fresh), keyState.begin());
    const bool shift = isDown(keyState[kKeyLeftShift]) || isDown(keyState[kKeyRightShift]);
    const bool ctrl = isDown(keyState[kKeyLeftCtrl]) || isDown(keyState[kKeyRightCtrl]);
    const bool alt = isDown(keyState[kKeyLeftAlt]) || isDown(keyState[kKeyRightAlt]);
    modifierState = kModifierTable[(ctrl ? 4 : 0) + (alt ? 2 : 0) + (shift ? 1 : 0)];
}

void QorInput::updatePointer() {
    const Vector3 old = pointerPosition;
    const ViewportMapping screen = viewport();
    if (inputMode == kModeMouse) {
        const Vector3 raw{static_cast<float>(rawMousePosition[0]), static_cast<float>(rawMousePosition[1]),
                          static_cast<float>(wheelSum)};
        // A pointer put between two pixels stays where it was put until the mouse moves, so
        // that a key starting from it finds the item it rests on, not one a rounding away.
        const Vector3 mapped = screen.toScreen(raw);
        if (rawMousePosition == placedMousePosition)
            pointerPosition.z = mapped.z;
        else
            pointerPosition = mapped;
    } else if (inputMode == kModeTouch) {
        if (const TouchPoint* first = getTouch(0)) pointerPosition = first->pos;
    }
    pointerDelta = pointerPosition - old;
    pointerPosition.x = std::clamp(pointerPosition.x, 0.0f, screen.width);
    pointerPosition.y = std::clamp(pointerPosition.y, 0.0f, screen.height);
}

void QorInput::pollJoysticks() {
    if (!bTrackJoystick) return;
    for (int j = 0; j < numJoysticks; ++j) {
        if (!devices->readJoystick(j, joystickState[j])) {
            devices->acquireJoystick(j);
            continue;
        }
        const int base = kJoystickBase + kJoystickCodes * j;
        const Vector3 hat = getJoystickHat(j);
        const Vector3 axes = getJoystickAxes(j);
        // A hat pushed against the stick cancels it.
        const float x = clampUnit(hat.x + axes.x);
        const float y = clampUnit(hat.y + axes.y);
        keyState[base + kDirUp] = y > kDirectionThreshold ? kDown : 0;
        keyState[base + kDirDown] = y < -kDirectionThreshold ? kDown : 0;
        keyState[base + kDirLeft] = x < -kDirectionThreshold ? kDown : 0;
        keyState[base + kDirRight] = x > kDirectionThreshold ? kDown : 0;
        std::copy(std::begin(joystickState[j].rgbButtons), std::end(joystickState[j].rgbButtons),
                  keyState.begin() + base + kJoystickButtonOffset);
    }
}

bool QorInput::wasPressed(int code) const {
    if (code < 0 || code >= kInputCodeCount) return false;
    return isDown(keyState[code]) && !isDown(previousKeyState[code]);
}

int QorInput::getRepeatedKey() {
    for (int code = 0; code < kInputCodeCount; ++code) {
        if (!isDown(keyState[code]) || isDown(previousKeyState[code])) continue;
        // Code 0 is no key: it never starts a repeat, and stops the search.
        if (code == 0) break;
        repeatCode = code;
        repeatTimer = repeatDelay;
        return code;
    }
    if (isDown(keyState[repeatCode]) && repeatTimer <= 0.0) return repeatCode;
    return 0;
}

Vector3 QorInput::getJoystickAxes(int j) const {
    if (j < 0 || j >= numJoysticks) return {0.0f, 0.0f, 0.0f};
    const JoystickState& s = joystickState[j];
    // The device reports y downwards; up on the stick is positive here.
    const double x = s.lX / static_cast<double>(kJoystickAxisRange);
    const double y = -(s.lY / static_cast<double>(kJoystickAxisRange));
    return {applyDeadZone(x, joystickDeadZone), applyDeadZone(y, joystickDeadZone), 0.0f};
}

Vector3 QorInput::getJoystickHat(int j) const {
    if (j < 0 || j >= numJoysticks) return {0.0f, 0.0f, 0.0f};
    float x = 0.0f, y = 0.0f;
    // The ranges overlap, so a diagonal counts in both its directions; a centred hat
    // reports a value outside all of them.
    for (const std::uint32_t v : joystickState[j].rgdwPOV) {
        if (v <= 5999 || (v >= 30001 && v <= 41999)) y += 1.0f;
        if (v >= 12001 && v <= 23999) y -= 1.0f;
        if (v >= 21001 && v <= 32999) x -= 1.0f;
        if (v >= 3001 && v <= 14999) x += 1.0f;
    }
    return {clampUnit(x), clampUnit(y), 0.0f};
}

void QorInput::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode != Qor::MODE_OK || newMode != Qor::MODE_PAUSED) return;
    deleteTouches();
    mouseButtonState.fill(0);
    previousMouseButtonState.fill(0);
}

void QorInput::initInputMode() {
    Window* window = qor->hWindowHandle;
    // A touch screen alone starts in touch mode, the pointer in the middle; a mouse
    // already over the window (a restart among them: the window stays, the engine is
    // new) is where the pointer starts, so that it is drawn under the cursor from the
    // first frame; a mouse elsewhere finds the pointer in the middle when it comes in.
    const bool mouse = window && window->hasMouse();
    int x = 0, y = 0;
    if (mouse && window->pointerPosition(x, y)) {
        followMouse(x, y);
        return;
    }
    const ViewportMapping screen = viewport();
    // The centre in whole units.
    const int halfWidth = static_cast<int>(screen.width) / 2;
    const int halfHeight = static_cast<int>(screen.height) / 2;
    pointerPosition = Vector3{static_cast<float>(halfWidth), static_cast<float>(halfHeight), 0.0f};
    changeInputMode(mouse ? kModeMouse : kModeTouch, true);
}

void QorInput::setInputMode(int mode) {
    if (mode == inputMode) return;
    changeInputMode(mode, true);
}

void QorInput::followMouse(int x, int y) {
    setRawMousePos(x, y);
    if (inputMode == kModeMouse) return;
    const Vector3 raw{static_cast<float>(x), static_cast<float>(y), static_cast<float>(wheelSum)};
    pointerPosition = viewport().toScreen(raw);
    pointerDelta = {0.0f, 0.0f, 0.0f};
    changeInputMode(kModeMouse, false);
}

void QorInput::changeInputMode(int mode, bool placeCursor) {
    QOR_LOG("QorInput::setInputMode", u"Setting input mode to %d", mode);
    inputMode = mode;
    // The game draws its own pointer; the system's shows only while debugging.
    if (qor->bDebugLocked) Window::showCursor(false);
    if (placeCursor) setMousePos(pointerPosition.x, pointerPosition.y, pointerPosition.z);
    QOR_LOG("QorInput::setInputMode", u"Notifying %d objects.", qor->objectList.countChildren());
    qor->forEachObject([](QorBase* o) { o->onInputModeChange(); });
}

void QorInput::setMousePos(float x, float y, float z) {
    pointerPosition = {x, y, z};
    pointerDelta = {0.0f, 0.0f, 0.0f};
    if (inputMode != kModeMouse) return;
    // The mouse's last place is now here, so that the next poll keeps the pointer where
    // it was put, whether the cursor follows or not.
    const Vector3 raw = viewport().toWindow(pointerPosition);
    setRawMousePos(static_cast<int>(raw.x), static_cast<int>(raw.y));
    placedMousePosition = rawMousePosition;
    // A cursor off the window is left alone: it is over something else of the player's,
    // and the pointer goes to it when it comes in.
    Window* window = qor->hWindowHandle;
    int cursorX = 0, cursorY = 0;
    if (window && window->pointerPosition(cursorX, cursorY))
        window->warpMouse(rawMousePosition[0], rawMousePosition[1]);
}

void QorInput::setRawMousePos(int x, int y) {
    rawMousePosition = {x, y};
    bMouseAway = false;
}

bool QorInput::isPointerOffPicture() const {
    const Vector3 raw{static_cast<float>(rawMousePosition[0]), static_cast<float>(rawMousePosition[1]), 0.0f};
    return inputMode == kModeMouse && (bMouseAway || !viewport().shows(raw));
}

void QorInput::mouseButtonDown(int button) {
    if (button < 0 || button >= kMouseButtonCount) return;
    mouseButtonLatch[button] = 1;
    mouseButtonPressFrame[button] = qor->frameCounter;
}

void QorInput::mouseButtonUp(int button) {
    if (button < 0 || button >= kMouseButtonCount) return;
    // Pressed and released between the same two polls: the next poll still sees it once.
    mouseButtonLatch[button] = mouseButtonPressFrame[button] == qor->frameCounter ? 2 : 0;
}

void QorInput::addWheelDelta(int delta) { wheelSum += delta; }

TouchPoint* QorInput::getTouch(int n) const {
    for (BasicLink* c = contactList.firstChild; c; c = c->next)
        if (n-- == 0) return static_cast<TouchPoint*>(c);
    return nullptr;
}

TouchPoint* QorInput::findTouchByTag(int tag) const {
    for (BasicLink* c = contactList.firstChild; c; c = c->next)
        if (static_cast<TouchPoint*>(c)->tag == tag) return static_cast<TouchPoint*>(c);
    return nullptr;
}

bool QorInput::isTouchPressed(int n) const {
    const TouchPoint* t = getTouch(n);
    return t && t->bPressed;
}

bool QorInput::isTouchHeld(int n) const {
    const TouchPoint* t = getTouch(n);
    return t && t->bHeld;
}

bool QorInput::anyTouchPressed() const {
    for (BasicLink* c = contactList.firstChild; c; c = c->next)
        if (static_cast<TouchPoint*>(c)->bPressed) return true;
    return false;
}

const void* QorInput::getTouchOwner() const {
    const TouchPoint* t = getTouch(0);
    return t ? t->handled : nullptr;
}

void QorInput::addMouseContact() {
    auto* contact = new TouchPoint();
    const Vector3 raw = viewport().toWindow(pointerPosition);
    contact->rawPosition = contact->rawPressPosition = contact->previousRawPosition = {raw.x, raw.y, 0.0f};
    contact->lastUpdateTime = contact->previousUpdateTime = qor->timeKeeper().now();
    contact->downFrame = contact->upFrame = qor->frameCounter + 1;
    contact->tag = -1;
    addTouch(contact);
}

void QorInput::addTouch(TouchPoint* contact) { contactList.addChild(contact); }

bool QorInput::keyPressed(int code, unsigned modifiers, bool repeat) const {
    return keyPressTaker && keyPressTaker(code, modifiers, repeat);
}

void QorInput::typeCharacter(char16_t c) {
    constexpr std::size_t kMostWaiting = 64;
    if (typedChar == 0)
        typedChar = c;
    else if (typedAhead.size() < kMostWaiting)
        typedAhead.push_back(c);
}

void QorInput::nextTypedCharacter() {
    typedChar = 0;
    if (typedAhead.empty()) return;
    typedChar = typedAhead.front();
    typedAhead.pop_front();
}

void QorInput::runWithoutKeyboard(const std::function<void()>& tick) {
    const auto keys = keyState;
    const auto previous = previousKeyState;
    const char16_t typed = typedChar;
    const int modifiers = modifierState;
    std::fill_n(keyState.begin(), kKeyboardCodes, 0);
    std::fill_n(previousKeyState.begin(), kKeyboardCodes, 0);
    typedChar = 0;
    modifierState = kNoModifier;
    tick();
    std::copy_n(keys.begin(), kKeyboardCodes, keyState.begin());
    std::copy_n(previous.begin(), kKeyboardCodes, previousKeyState.begin());
    typedChar = typed;
    modifierState = modifiers;
}

void QorInput::deleteTouches() {
    while (BasicLink* contact = contactList.lastChild) contact->destroy();
}
