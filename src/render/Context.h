#pragma once
// A screen or layer: menu screens, dialogs, the console, the screen stack and every
// playing game controller are contexts. A context's children are the objects of that
// screen; it keeps its own clock (local time, step, time scale, optional duration), owns
// a camera, tracks the pointer in that camera's world space, and is the engine's
// current context while it ticks or draws (renderables cull and hit-test against it).
//
// Subclasses put their per-frame work in tickContents and their drawing in
// renderContents. The hooks and the pointer object are not owned.
#include <cstdint>
#include <vector>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/Camera.h"
#include "render/UColor.h"

class Context : public QorBase {
public:
    Context();
    ~Context() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Advances the context's own clock from the engine's frame time (the arguments are
    // not used for it), then ticks the camera, the contents and the hooks.
    void tick(double time, double dt) override;
    void render() override;

    virtual void frameTick(double time, double dt);
    virtual void frameRender();
    virtual void onActivate(bool first);
    virtual void onDeactivate(bool closing);
    virtual void tickContents(double time, double dt);
    virtual void renderContents();
    // Adds to `boxes` the parts of this screen's picture that a text laid over every
    // screen (the frame rate) must leave uncovered, in the virtual screen's units with the
    // origin at its centre: a score or a label, say, but not a plain backdrop. A screen
    // that shows another through it adds that one's too. None by default.
    virtual void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const;

    std::uint8_t bFinished = 0;       // done: the screen stack removes it
    std::uint8_t bDeleteOnClose = 0;  // the screen stack deletes it after removing it
    std::uint8_t bCloseOnEscape = 1;
    std::uint8_t bCloseOnFireKey = 0;
    std::uint8_t bConfirmClose = 0;
    std::uint8_t bShowPointer = 1;
    std::uint8_t bHideFrameRate = 0;
    double duration = 0.0;          // s; when not 0 the context finishes after it
    UColor clearColor = 0;          // when not 0, the viewport is cleared to it first
    QorBase* hookBefore = nullptr;  // ticked and drawn before the context
    QorBase* hookAfter = nullptr;   // ticked and drawn after the context
    QorBase* pPointer = nullptr;    // the screen's own pointer object
    double localTime = 0.0;         // s, the context's clock
    double dt = 0.0;                // s, the last step
    double timeScale = 1.0;
    Vector3 pointer{0.0f, 0.0f, 0.0f};  // world units of the camera
    Vector3 previousPointer{0.0f, 0.0f, 0.0f};
    Vector3 pointerDelta{0.0f, 0.0f, 0.0f};
    Camera* pCamera = nullptr;  // owned
    std::uint8_t bFirstActivation = 1;

    // The pointer in this context's world space, from the input service's pointer and
    // the camera (done by tick; a game updates its overlay's earlier in the frame).
    void updatePointerPosition();
};
