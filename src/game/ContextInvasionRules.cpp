#include "game/ContextInvasionRules.h"

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

QOR_DEFINE_CLASS(ContextInvasionRules, ContextMenu, (&makeInstance<ContextInvasionRules, BasicLink>))

ClassInfo* ContextInvasionRules::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextInvasionRules::ContextInvasionRules() {
    const auto s = static_cast<float>(rowSpacing);
    GameConfiguration* config = global ? &global->configuration : nullptr;
    addChild(new FramePanel(0.0f, s, 0.0f, GameLauncher::kPanelWidth, GameLauncher::kPanelHeight, u""));
    addItem(new MenuItemChoice(0.0f, 2.0f * s, 0.0f, config ? &config->invasionPlayers : nullptr, 0, 1,
                               StringId::ENUMOPPONENTBALLOONPOPTYPE0, text(StringId::PLAYELLIPSIS),
                               text(StringId::PLAYELLIPSISHINT)));
    addItem(new MenuItemChoice(0.0f, s, 0.0f, config ? &config->difficulty : nullptr, 0, 4, StringId::ENUMDIFFICULTY0,
                               text(StringId::DIFFICULTY), text(StringId::DIFFICULTYHINT)));
    pStartNew = new MenuButton(0.0f, 0.0f, 0.0f, text(StringId::NEWGAME), u"");
    addItem(pStartNew);
    pContinue = new MenuButton(0.0f, -2.0f * s, 0.0f, text(StringId::CONTINUEGAME), u"");
    addItem(pContinue);
    auto* block = GameLauncher::invasionBlock();
    GameLauncher::offerContinue(*pStartNew, *pContinue, block && GameLauncher::canContinue(SavedGame(*block)));
    PlaceholderScreen::build(this, text(StringId::CAMPAIGNRULES));
}

void ContextInvasionRules::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pStartNew->takeTrigger())
        start(false);
    else if (pContinue->takeTrigger())
        start(true);
}

void ContextInvasionRules::start(bool continueSaved) {
    if (auto* bytes = GameLauncher::invasionBlock())
        GameLauncher::startFrom(*this, kControllerClass, SavedGame(*bytes), continueSaved);
}
