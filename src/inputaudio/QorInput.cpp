#include "inputaudio/QorInput.h"

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "inputaudio/TouchPoint.h"
#include "render/QorGraphics.h"

QOR_DEFINE_ROOT_CLASS(QorInput, nullptr)

QorInput::QorInput() { QOR_LOG("QorInput::QorInput", u"Starting..."); }

QorInput::~QorInput() { deleteTouches(); }

ClassInfo* QorInput::getClass() const { return &classInfo; }

void QorInput::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == 3 && newMode == 2) {
        deleteTouches();
        mouseButtons.fill(0);
    }
}

void QorInput::initInputMode() {
    const QorGraphics* graphics = qor ? qor->pQorGraphics : nullptr;
    const int width = graphics ? graphics->virtualWidth : 800;
    const int height = graphics ? graphics->virtualHeight : 480;
    pointer = Vector3{static_cast<float>(width / 2), static_cast<float>(height / 2), 0.0f};
    setInputMode(kModeTouch);
}

void QorInput::setInputMode(int mode) {
    if (mode == inputMode) return;
    QOR_LOG("QorInput::setInputMode", u"Setting input mode to %d", mode);
    inputMode = mode;
    const int count = qor ? qor->objectList.countChildren() : 0;
    QOR_LOG("QorInput::setInputMode", u"Notifying %d objects.", count);
    if (qor) qor->forEachObject([](QorBase* o) { o->onInputModeChange(); });
}

void QorInput::mouseButtonDown(int button) {
    if (button < 0 || button >= kMouseButtonCount) return;
    mouseButtons[button] = 1;
    mousePressFrame[button] = qor ? qor->frameCounter : 0;
}

void QorInput::mouseButtonUp(int button) {
    if (button < 0 || button >= kMouseButtonCount) return;
    // Pressed and released between two polls: the next poll still sees it down once.
    mouseButtons[button] = mousePressFrame[button] == (qor ? qor->frameCounter : 0) ? 2 : 0;
}

void QorInput::setRawMousePos(int x, int y) {
    rawMouseX = x;
    rawMouseY = y;
}

void QorInput::addWheelDelta(int delta) { wheelDelta += delta; }

TouchPoint* QorInput::findTouchByTag(int tag) {
    for (BasicLink* n = touchList.firstChild; n; n = n->next)
        if (static_cast<TouchPoint*>(n)->tag == tag) return static_cast<TouchPoint*>(n);
    return nullptr;
}

TouchPoint* QorInput::getTouch(int n) {
    for (BasicLink* c = touchList.firstChild; c; c = c->next)
        if (n-- == 0) return static_cast<TouchPoint*>(c);
    return nullptr;
}

void QorInput::addTouch(TouchPoint* contact) { touchList.addChild(contact); }

void QorInput::deleteTouches() {
    while (BasicLink* contact = touchList.lastChild) contact->destroy();
}

void QorInput::poll() {
    prevKeys = keys;
    prevMouseButtons = mouseButtons;
}
