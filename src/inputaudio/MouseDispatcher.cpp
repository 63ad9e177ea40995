#include "inputaudio/MouseDispatcher.h"

#include <cmath>

#include "engine/Event.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"

MouseDispatcher::MouseDispatcher() = default;

MouseDispatcher::~MouseDispatcher() {
    hoverLink.set(nullptr);
    captureLink.set(nullptr);
    roleLink.set(nullptr);
}

bool MouseDispatcher::blockedByNoInput(const QorBase* object) {
    for (const QorBase* o = object; o; o = o->parentObject())
        if (o->bNoInput) return true;
    return false;
}

void MouseDispatcher::update(QorBase* root) {
    QorInput* input = qor->pQorInput;
    if (!input) return;
    int n = (input->keyState[kTabKey] & QorInput::kDown) ? 1 : 0;
    hoverLink.set(root ? root->findNthHit(n) : nullptr);

    QorBase* captured = captureLink.target;
    if (captured && (captured->skip || blockedByNoInput(captured))) setCapture(nullptr);

    const TouchPoint* first = input->getTouch(0);
    const Vector3& pointer = input->pointerPosition;
    if (first && first->bPressed) {
        pressPosition = pointer;
        QorBase* hovered = hoverLink.target;
        if (captureLink.target != hovered) {
            if (!hovered)
                setCapture(nullptr);
            else if (!blockedByNoInput(hovered))
                setCapture(hovered);
        }
    }
    if (first && first->bReleased) {
        const float dx = pointer.x - pressPosition.x, dy = pointer.y - pressPosition.y,
                    dz = pointer.z - pressPosition.z;
        if (std::sqrt(dx * dx + dy * dy + dz * dz) < kClickDistance) dispatch(Event::kClick, this, captureLink.target);
    }
    const Vector3& delta = input->pointerDelta;
    if (delta.x != 0.0f || delta.y != 0.0f || delta.z != 0.0f) {
        dispatch(Event::kMove, this, captureLink.target);
        if (first && first->bHeld) dispatch(Event::kDrag, this, captureLink.target);
    }
    if (input->getRepeatedKey() != 0 || input->typedChar != 0) dispatch(Event::kKey, this, captureLink.target);
}

void MouseDispatcher::deliver(Event& e) {
    QorBase* addressee = e.currentTarget;
    QorBase* parent = addressee->parentObject();
    if (parent && parent->previewEvent(e)) return;
    if (!addressee->bNoInput && addressee->onEvent(e)) return;
    if (parent) parent->bubbleEvent(e);
}

void MouseDispatcher::dispatch(int code, QorBase* source, QorBase* target) {
    Event e;
    e.code = code;
    e.source = source;
    e.currentTarget = target ? target : source;
    e.dispatcher = this;
    if (e.currentTarget) deliver(e);
}

void MouseDispatcher::setCapture(QorBase* object) {
    QorBase* old = captureLink.target;
    if (old == object) return;
    if (old) {
        Event e;
        e.code = Event::kCaptureLost;
        e.source = this;
        e.currentTarget = old;
        e.dispatcher = this;
        e.param1 = reinterpret_cast<std::uintptr_t>(object);
        deliver(e);
    }
    captureLink.set(object);
    if (object) dispatch(Event::kCaptureGained, this, object);
}
