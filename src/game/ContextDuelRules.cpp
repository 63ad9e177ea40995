#include "game/ContextDuelRules.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "game/GameLauncher.h"
#include "game/SavedGame.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/FramePanel.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/PlaceholderScreen.h"

QOR_DEFINE_CLASS(ContextDuelRules, ContextMenu, (&makeInstance<ContextDuelRules, BasicLink>))

ClassInfo* ContextDuelRules::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextDuelRules::ContextDuelRules() {
    const auto s = static_cast<float>(rowSpacing);
    GameConfiguration* config = global ? &global->configuration : nullptr;
    addChild(new FramePanel(0.0f, s, 0.0f, GameLauncher::kPanelWidth, GameLauncher::kPanelHeight, u""));
    // From 1: the texts "A Friend" and "The Computer"; "Alone" is no Duel.
    addItem(new MenuItemChoice(0.0f, 2.0f * s, 0.0f, config ? &config->duelOpponent : nullptr, 1, 2,
                               StringId::ENUMOPPONENTTYPE0, text(StringId::PLAYAGAINST),
                               text(StringId::PLAYAGAINSTHINT)));
    addItem(new MenuItemChoice(0.0f, s, 0.0f, config ? &config->difficulty : nullptr, 0, 4, StringId::ENUMDIFFICULTY0,
                               text(StringId::DIFFICULTY), text(StringId::DIFFICULTYHINT)));
    pStartNew = new MenuButton(0.0f, 0.0f, 0.0f, text(StringId::NEWGAME), u"");
    addItem(pStartNew);
    pContinue = new MenuButton(0.0f, -2.0f * s, 0.0f, text(StringId::CONTINUEGAME), u"");
    addItem(pContinue);
    pHowToPlay = new MenuButton(0.0f, static_cast<float>(-cornerY), 0.0f, text(StringId::TUTORIAL2DOTS),
                                text(StringId::TUTORIALHINT));
    addItem(pHowToPlay);
    auto* block = GameLauncher::duelBlock();
    GameLauncher::offerContinue(*pStartNew, *pContinue, block && GameLauncher::canContinue(SavedGame(*block)));
    PlaceholderScreen::build(this, text(StringId::CLASSICWARRULES));
}

void ContextDuelRules::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pHowToPlay->takeTrigger())
        GameLauncher::launch(kTutorialClass, nullptr);
    else if (pStartNew->takeTrigger())
        start(false);
    else if (pContinue->takeTrigger())
        start(true);
}

void ContextDuelRules::start(bool continueSaved) {
    if (auto* bytes = GameLauncher::duelBlock())
        GameLauncher::startFrom(*this, kDuelClass, SavedGame(*bytes), continueSaved);
}
