#include "game/ContextInvasionRules.h"

#include "engine/ClassInfo.h"
#include "game/GameLauncher.h"
#include "game/SavedGame.h"
#include "language/StringIds.h"
#include "ui/Global.h"

QOR_DEFINE_CLASS(ContextInvasionRules, ContextMenu, (&makeInstance<ContextInvasionRules, BasicLink>))

ClassInfo* ContextInvasionRules::getClass() const { return &classInfo; }

ContextInvasionRules::ContextInvasionRules()
    : ContextGameRules(kControllerClass, global ? &global->configuration.invasionPlayers : nullptr, 0, 1,
                       StringId::ENUMOPPONENTBALLOONPOPTYPE0, StringId::PLAYELLIPSIS, StringId::PLAYELLIPSISHINT) {
    finishRules(StringId::CAMPAIGNRULES);
}

void ContextInvasionRules::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    takeStartTriggers();
}

std::u16string ContextInvasionRules::savedGameFault(const SavedGame& block) const { return block.invasionFault(); }

std::optional<SavedGame> ContextInvasionRules::savedBlock() const {
    auto* bytes = GameLauncher::invasionBlock();
    return bytes ? std::optional<SavedGame>(SavedGame(*bytes)) : std::nullopt;
}
