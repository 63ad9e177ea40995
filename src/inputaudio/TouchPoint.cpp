#include "inputaudio/TouchPoint.h"

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/ViewportMapping.h"

int TouchPoint::nextId = 0;

TouchPoint::TouchPoint() : id(nextId++) {}

TouchPoint::~TouchPoint() = default;

void TouchPoint::tick(double time, double dt) {
    QorBase::tick(time, dt);
    const int frame = qor->frameCounter;
    const ViewportMapping mapping = qor->input().viewport();
    const Vector3 oldPos = pos;
    pos = mapping.toScreen(rawPosition);
    delta = pos - oldPos;
    updateVelocity(frame, mapping);
    advanceState(frame);
}

void TouchPoint::updateVelocity(int frame, const ViewportMapping& mapping) {
    // Only a frame that moved the contact, and is neither its press nor its release,
    // measures a speed; a release keeps the speed of the last movement, so flicks carry.
    const double span = lastUpdateTime - previousUpdateTime;
    if (lastMoveFrame == frame && downFrame != frame && upFrame != frame && span > 0.0) {
        const Vector3 from = mapping.toScreen(previousRawPosition);
        velocity = (pos - from) * static_cast<float>(1.0 / span);
        if (vectorLength(velocity) < kMinSpeed) velocity = {0.0f, 0.0f, 0.0f};
    }
    if (frame > lastMoveFrame + kVelocityFrames) velocity = {0.0f, 0.0f, 0.0f};
}

void TouchPoint::advanceState(int frame) {
    const bool released = upFrame >= 0 && upFrame <= frame;
    switch (state) {
        case kStateNew:
            if (downFrame >= 0 && downFrame <= frame) setState(kStateDown);
            break;
        case kStateDown:
            setState(released ? kStateUp : kStateHeld);
            break;
        case kStateHeld:
            // Movement is judged only while held: a contact lifted in the frame after its
            // press is a tap however far it travelled.
            if (!bMoved && pointDistance(rawPressPosition, rawPosition) > kMoveThreshold) bMoved = 1;
            if (released) setState(kStateUp);
            break;
        default:
            pendingDelete = 1;
            break;
    }
}

void TouchPoint::onStateChanged() {
    bPressed = bReleased = bHeld = 0;
    switch (state) {
        case kStateDown:
            pressPosition = pos;
            delta = {0.0f, 0.0f, 0.0f};
            bPressed = bHeld = 1;
            break;
        case kStateHeld:
            bHeld = 1;
            break;
        case kStateUp:
            bReleased = 1;
            if (!bMoved) bTap = 1;
            break;
        default:
            break;
    }
}
