#include "ui/ContextGameMode.h"

#include "engine/ClassInfo.h"
#include "ui/PlaceholderScreen.h"

QOR_DEFINE_CLASS(ContextGameMode, ContextMenu, nullptr)

ClassInfo* ContextGameMode::getClass() const { return &classInfo; }

ContextGameMode::ContextGameMode() { PlaceholderScreen::build(this, u"Select game mode"); }
