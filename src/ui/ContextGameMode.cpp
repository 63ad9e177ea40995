#include "ui/ContextGameMode.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

ContextGameMode::ContextGameMode() {
    PlaceholderScreen::build(this, qor->language().getString(StringId::SELECTGAMETYPE));
}
