#include "ui/GUIthemeStandard.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(GUIthemeStandard, QorBase, nullptr)

ClassInfo* GUIthemeStandard::getClass() const { return &classInfo; }
