#include "render/Context.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(Context, QorBase, (&makeInstance<Context, BasicLink>))

ClassInfo* Context::getClass() const { return &classInfo; }

void Context::frameTick(double time, double dt) { tick(time, dt); }

void Context::frameRender() { render(); }
