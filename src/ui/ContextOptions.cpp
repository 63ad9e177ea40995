#include "ui/ContextOptions.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/PlaceholderScreen.h"

QOR_DEFINE_CLASS(ContextOptions, ContextMenu, nullptr)

ClassInfo* ContextOptions::getClass() const { return &classInfo; }

ContextOptions::ContextOptions() {
    PlaceholderScreen::build(this, qor && qor->pLanguage ? qor->pLanguage->getString(StringId::OPTIONS) : u"Options");
}
