#include "ui/ContextPlayers.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

ContextPlayers::ContextPlayers() { PlaceholderScreen::build(this, qor->language().getString(StringId::PLAYERS)); }
