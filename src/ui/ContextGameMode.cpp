#include "ui/ContextGameMode.h"

#include "ui/PlaceholderScreen.h"

ContextGameMode::ContextGameMode() { PlaceholderScreen::build(this, u"Select game mode"); }
