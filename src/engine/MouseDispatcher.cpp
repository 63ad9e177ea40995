#include "engine/MouseDispatcher.h"

void MouseDispatcher::update(Context*) {}

void MouseDispatcher::setCapture(QorBase*) {}
