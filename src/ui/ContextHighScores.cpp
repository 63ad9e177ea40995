#include "ui/ContextHighScores.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

QOR_DEFINE_CLASS(ContextHighScores, ContextMenu, nullptr)

ClassInfo* ContextHighScores::getClass() const { return &classInfo; }

ContextHighScores::ContextHighScores(std::int32_t tableIndex_) : tableIndex(tableIndex_) {
    PlaceholderScreen::build(this,
                             qor && qor->pLanguage ? qor->pLanguage->getString(StringId::HIGHSCORES) : u"High Scores");
}
