#include "ui/ContextOptions.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

ContextOptions::ContextOptions() { PlaceholderScreen::build(this, qor->language().getString(StringId::OPTIONS)); }
