#include "inputaudio/WMhooks.h"

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"

namespace {
// The input service, or null between a restart's teardown and the next build, and
// before the engine's first build: the window keeps reporting events all the while.
QorInput* input() { return qor ? qor->pQorInput : nullptr; }

// The number of the next frame to run: contacts are stamped with it.
int nextFrame() { return qor->frameCounter + 1; }

double now() { return qor->timeKeeper().now(); }

TouchPoint* startContact(QorInput& in, int x, int y, int tag) {
    auto* contact = new TouchPoint();
    contact->lastUpdateTime = contact->previousUpdateTime = now();
    contact->downFrame = nextFrame();
    contact->rawPosition.x = static_cast<float>(x);
    contact->rawPosition.y = static_cast<float>(y);
    contact->tag = tag;
    contact->previousRawPosition = contact->rawPressPosition = contact->rawPosition;
    in.addTouch(contact);
    return contact;
}

void endContact(TouchPoint& contact, int x, int y) {
    contact.previousUpdateTime = contact.lastUpdateTime;
    contact.lastUpdateTime = now();
    contact.upFrame = nextFrame();
    contact.rawPosition.x = static_cast<float>(x);
    contact.rawPosition.y = static_cast<float>(y);
    contact.tag = -1;
}

void moveContact(TouchPoint& contact, int x, int y) {
    // The "previous" values keep the position of the last frame, however many moves
    // arrive within one frame.
    if (contact.lastMoveFrame != nextFrame()) {
        contact.previousRawPosition = contact.rawPosition;
        contact.previousUpdateTime = contact.lastUpdateTime;
        contact.lastMoveFrame = nextFrame();
    }
    contact.lastUpdateTime = now();
    contact.rawPosition.x = static_cast<float>(x);
    contact.rawPosition.y = static_cast<float>(y);
}
}  // namespace

void WMhooks::windowFocusGained() {
    if (!qor) return;
    QOR_LOG("WMhooks::windowFocusGained", u"Window focus gained.");
    qor->windowActive = true;
}

void WMhooks::windowFocusLost() {
    if (!qor) return;
    QOR_LOG("WMhooks::windowFocusLost", u"Window focus lost.");
    qor->windowActive = false;
}

bool WMhooks::keyDown(int code, unsigned modifiers, bool repeat) {
    QorInput* in = input();
    return in && in->keyPressed(code, modifiers, repeat);
}

void WMhooks::character(char16_t c) {
    if (QorInput* in = input()) in->typeCharacter(c);
}

void WMhooks::mouseButtonDown(int x, int y, int button) {
    QorInput* in = input();
    if (!in) return;
    in->followMouse(x, y);
    in->mouseButtonDown(button);
    if (in->inputMode == QorInput::kModeMouse && button == 0) {
        in->deleteTouches();
        startContact(*in, x, y, 0);
    }
}

void WMhooks::mouseButtonUp(int x, int y, int button) {
    QorInput* in = input();
    if (!in) return;
    in->mouseButtonUp(button);
    if (in->inputMode != QorInput::kModeMouse) return;
    if (TouchPoint* contact = in->getTouch(0)) endContact(*contact, x, y);
}

void WMhooks::mouseMove(int x, int y) {
    QorInput* in = input();
    if (!in) return;
    in->followMouse(x, y);
    if (TouchPoint* contact = in->getTouch(0)) moveContact(*contact, x, y);
}

void WMhooks::pointerPlaced(int x, int y) {
    // Where the mouse is, for mouse mode to read; a touch player stays in touch mode.
    if (QorInput* in = input()) in->setRawMousePos(x, y);
}

void WMhooks::mouseLeft() {
    if (QorInput* in = input()) in->bMouseAway = true;
}

void WMhooks::mouseWheel(int delta) {
    if (QorInput* in = input()) in->addWheelDelta(delta);
}

void WMhooks::touchDown(int x, int y, int id) {
    QorInput* in = input();
    if (!in) return;
    // A contact with this id whose release was lost ends now.
    if (TouchPoint* stale = in->findTouchByTag(id)) {
        stale->upFrame = nextFrame();
        stale->tag = -1;
    }
    in->setInputMode(QorInput::kModeTouch);
    startContact(*in, x, y, id);
}

void WMhooks::touchMove(int x, int y, int id) {
    QorInput* in = input();
    if (!in) return;
    if (TouchPoint* contact = in->findTouchByTag(id)) moveContact(*contact, x, y);
}

void WMhooks::touchUp(int x, int y, int id) {
    QorInput* in = input();
    if (!in) return;
    if (TouchPoint* contact = in->findTouchByTag(id)) endContact(*contact, x, y);
}
