#include "render/Context.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "inputaudio/QorInput.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/QorGraphics.h"

QOR_DEFINE_CLASS(Context, QorBase, (&makeInstance<Context, BasicLink>))

Context::Context() : pCamera(new Camera()) {}

Context::~Context() {
    if (pCamera) pCamera->destroy();
    pCamera = nullptr;
}

ClassInfo* Context::getClass() const { return &classInfo; }

void Context::tick(double, double) {
    if (hookBefore) hookBefore->tick(localTime, dt);
    Context* previous = qor->pCurrentContext;
    qor->pCurrentContext = this;
    double step = qor->getDeltaTime();
    if (step > qor->maxTimeStep) step = qor->maxTimeStep;
    dt = step * timeScale;
    localTime += dt;
    if (duration != 0.0 && localTime > duration) bFinished = 1;
    if (pCamera) {
        pCamera->tick(localTime, dt);
        updatePointerPosition();
    }
    tickContents(localTime, dt);
    if (pCamera) pCamera->postTick(localTime, dt);
    qor->pCurrentContext = previous;
    if (hookAfter) hookAfter->tick(localTime, dt);
}

void Context::updatePointerPosition() {
    if (!pCamera) return;
    previousPointer = pointer;
    const ViewRect r = pCamera->getViewRect(pCamera->target.z);
    const float f = -pCamera->position.z / (static_cast<float>(kVirtualScreenWidth) / 2.0f);
    const Vector3 input = qor->input().pointerPosition;
    pointer = Vector3{r.left + f * input.x, r.bottom + f * input.y, 0.0f};
    pointerDelta = pointer - previousPointer;
}

void Context::render() {
    if (hookBefore) hookBefore->render();
    Context* previous = qor->pCurrentContext;
    qor->pCurrentContext = this;
    GraphicsDevice& device = *qor->graphics().dxDevice;
    if (clearColor != 0) device.clear(clearColor);
    const DeviceMatrix savedView = device.getTransform(TransformKind::kView);
    if (pCamera) pCamera->render();
    renderContents();
    device.setTransform(TransformKind::kView, savedView);
    qor->pCurrentContext = previous;
    if (hookAfter) hookAfter->render();
}

void Context::frameTick(double time, double step) { tick(time, step); }

void Context::frameRender() { render(); }

void Context::onActivate(bool) {}

void Context::onDeactivate(bool) {}

void Context::tickContents(double time, double step) { QorBase::tick(time, step); }

void Context::renderContents() { QorBase::render(); }

void Context::addBoxesToKeepClear(std::vector<ViewRect>&) const {}
