#include "ui/ContextHighScores.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

ContextHighScores::ContextHighScores(std::int32_t tableIndex_) : tableIndex(tableIndex_) {
    PlaceholderScreen::build(this, qor->language().getString(StringId::HIGHSCORES));
}
