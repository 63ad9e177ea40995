#include "game/ContextGameRules.h"

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "game/GameLauncher.h"
#include "game/SavedGame.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/FramePanel.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/ScreenFrame.h"

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextGameRules::ContextGameRules(const char16_t* controllerClass_, std::int32_t* choice, std::int32_t lowest,
                                   std::int32_t highest, int firstTextId, int labelId, int hintId)
    : controllerClass(controllerClass_) {
    const auto s = static_cast<float>(rowSpacing);
    GameConfiguration* config = global ? &global->configuration : nullptr;
    addChild(new FramePanel(0.0f, s, 0.0f, GameLauncher::kPanelWidth, GameLauncher::kPanelHeight, u""));
    addItem(
        new MenuItemChoice(0.0f, 2.0f * s, 0.0f, choice, lowest, highest, firstTextId, text(labelId), text(hintId)));
    addItem(new MenuItemChoice(0.0f, s, 0.0f, config ? &config->difficulty : nullptr, 0, 4, StringId::ENUMDIFFICULTY0,
                               text(StringId::DIFFICULTY), text(StringId::DIFFICULTYHINT)));
    pStartNew = new MenuButton(0.0f, 0.0f, 0.0f, text(StringId::NEWGAME), u"");
    addItem(pStartNew);
    pContinue = new MenuButton(0.0f, -2.0f * s, 0.0f, text(StringId::CONTINUEGAME), u"");
    addItem(pContinue);
}

void ContextGameRules::finishRules(int titleId) {
    GameLauncher::offerContinue(*pStartNew, *pContinue, savedState());
    ScreenFrame::build(this, text(titleId));
}

GameLauncher::SavedState ContextGameRules::savedState() const {
    const std::optional<SavedGame> block = savedBlock();
    if (!block || !block->validData()) return GameLauncher::SavedState::kNone;
    const std::u16string fault = savedGameFault(*block);
    if (fault.empty()) return GameLauncher::SavedState::kSound;
    QOR_LOG("ContextGameRules::finishRules", u"The saved game of %s cannot be continued: %s.",
            std::u16string(controllerClass), fault);
    return GameLauncher::SavedState::kDamaged;
}

bool ContextGameRules::takeStartTriggers() {
    if (pStartNew->takeTrigger())
        start(false);
    else if (pContinue->takeTrigger())
        start(true);
    else
        return false;
    return true;
}

void ContextGameRules::start(bool continueSaved) {
    if (const std::optional<SavedGame> block = savedBlock())
        GameLauncher::startFrom(*this, controllerClass, *block, continueSaved);
}
