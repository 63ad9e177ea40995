#pragma once
// Turns the input service's pointer and keyboard state into events for the objects of
// the scene. Once per worked frame it finds the object under the pointer (hovered),
// keeps one captured object (the one that took the last press) and sends it click,
// drag, move and key events; objects are told when they gain or lose the capture.
// Events travel in three stages: preview from the root down, the addressee itself,
// bubble from its parent up.
//
// Lifetime: made by the engine object right after the resource registry and deleted in
// its teardown; not part of the scene tree. Holds its objects through weak links only,
// so a captured or hovered object that dies simply empties its link. Main thread only.
#include "engine/Link.h"
#include "engine/QorBase.h"
#include "engine/Vector3.h"

class MouseDispatcher : public QorBase {
public:
    // A press and release closer than this (virtual units) make a click.
    static constexpr float kClickDistance = 2.0f;
    static constexpr int kTabKey = 15;

    MouseDispatcher();
    ~MouseDispatcher() override;

    // The per-frame step, after the scene's tick; `root` is the scene (may be null).
    void update(QorBase* root);
    // Makes `object` the captured one (null: none), telling the old and the new one.
    void setCapture(QorBase* object);
    // Delivers event `code` from `source` to `target` (the source itself when null).
    void dispatch(int code, QorBase* source, QorBase* target);

    QorBase* getCapture() const { return captureLink.target; }
    QorBase* getHover() const { return hoverLink.target; }

    Link roleLink{this};      // never set in this system: no network role exists
    Vector3 pressPosition{};  // pointer position at the last press of the first contact
    Link captureLink{this};
    Link hoverLink{this};

private:
    void deliver(Event& e);
    static bool blockedByNoInput(const QorBase* object);
};
