#include "game/ContextDuelRules.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "game/GameLauncher.h"
#include "game/SavedGame.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"

QOR_DEFINE_CLASS(ContextDuelRules, ContextMenu, (&makeInstance<ContextDuelRules, BasicLink>))

ClassInfo* ContextDuelRules::getClass() const { return &classInfo; }

// The opponent choice runs from 1: the texts "A Friend" and "The Computer"; "Alone" is
// no Duel.
ContextDuelRules::ContextDuelRules()
    : ContextGameRules(kDuelClass, global ? &global->configuration.duelOpponent : nullptr, 1, 2,
                       StringId::ENUMOPPONENTTYPE0, StringId::PLAYAGAINST, StringId::PLAYAGAINSTHINT) {
    const Language& language = qor->language();
    pHowToPlay = new MenuButton(0.0f, static_cast<float>(-cornerY), 0.0f, language.getString(StringId::TUTORIAL2DOTS),
                                language.getString(StringId::TUTORIALHINT));
    addItem(pHowToPlay);
    finishRules(StringId::CLASSICWARRULES);
}

void ContextDuelRules::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pHowToPlay->takeTrigger())
        GameLauncher::launch(kTutorialClass, nullptr);
    else
        takeStartTriggers();
}

std::optional<SavedGame> ContextDuelRules::savedBlock() const {
    auto* bytes = GameLauncher::duelBlock();
    return bytes ? std::optional<SavedGame>(SavedGame(*bytes)) : std::nullopt;
}

// Only a block the Duel controller takes up whole is offered.
std::u16string ContextDuelRules::savedGameFault(const SavedGame& block) const { return block.duelFault(); }
