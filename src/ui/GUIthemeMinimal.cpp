#include "ui/GUIthemeMinimal.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(GUIthemeMinimal, QorBase, nullptr)

ClassInfo* GUIthemeMinimal::getClass() const { return &classInfo; }
