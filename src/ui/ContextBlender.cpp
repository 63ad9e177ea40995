#include "ui/ContextBlender.h"

#include "engine/ClassInfo.h"
#include "ui/BlenderCamera.h"

QOR_DEFINE_CLASS(ContextBlender, Context, (&makeInstance<ContextBlender, BasicLink>))

ContextBlender::ContextBlender() {
    if (pCamera) pCamera->destroy();
    pCamera = new BlenderCamera();
}

ClassInfo* ContextBlender::getClass() const { return &classInfo; }

BlenderCamera* ContextBlender::camera() const { return static_cast<BlenderCamera*>(pCamera); }
