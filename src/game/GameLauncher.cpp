#include "game/GameLauncher.h"

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/SavedGame.h"
#include "language/ExtraTexts.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextManager.h"
#include "ui/MenuButton.h"

namespace {
const ClassInfo* controllerRecord(std::u16string_view className) {
    const ClassInfo* record = ClassRegistry::instance().findByName(className);
    return record && record->factory ? record : nullptr;
}

ProfileData* currentProfile() {
    if (!global) return nullptr;
    ProfileManager& profiles = global->profiles;
    if (profiles.current < 0 || profiles.current >= ProfileManager::kSlots) return nullptr;
    return &profiles.profiles[static_cast<std::size_t>(profiles.current)];
}
}  // namespace

bool GameLauncher::isAvailable(std::u16string_view className) { return controllerRecord(className) != nullptr; }

GameController* GameLauncher::launch(std::u16string_view className, const SavedGame* block) {
    auto* app = dynamic_cast<GameGlobal*>(global);
    const ClassInfo* record = controllerRecord(className);
    if (!record || !app || !app->pContextManager) {
        QOR_LOG("GameLauncher::launch", u"The game mode %s is not there yet; nothing is started.",
                std::u16string(className));
        return nullptr;
    }
    auto* game = dynamic_cast<GameController*>(static_cast<BasicLink*>(record->factory()));
    if (!game) {
        QOR_LOG("GameLauncher::launch", u"The class %s is no game controller; nothing is started.",
                std::u16string(className));
        return nullptr;
    }
    app->pCurrentGame = game;
    app->pContextManager->addChild(game);
    game->startGame(block);
    return game;
}

GameController* GameLauncher::startFrom(Context& rulesScreen, std::u16string_view className, const SavedGame& block,
                                        bool continueSaved) {
    if (!isAvailable(className)) return launch(className, nullptr);  // says so in the log
    rulesScreen.bFinished = 1;
    if (!continueSaved) block.setValidData(false);
    return launch(className, continueSaved ? &block : nullptr);
}

std::array<std::uint8_t, 1840>* GameLauncher::invasionBlock() {
    ProfileData* profile = currentProfile();
    return profile ? &profile->invasionGame : nullptr;
}

std::array<std::uint8_t, 1832>* GameLauncher::duelBlock() {
    ProfileData* profile = currentProfile();
    return profile ? &profile->duelGame : nullptr;
}

void GameLauncher::offerContinue(MenuButton& startNew, MenuButton& continueSaved, SavedState saved) {
    const Language& language = qor->language();
    switch (saved) {
        case SavedState::kSound:
            startNew.questionTitle = language.getString(StringId::CONFIRM);
            startNew.questionText = language.getString(StringId::NEWGAMECONFIRM);
            break;
        case SavedState::kDamaged:
            continueSaved.bDisabled = 1;
            continueSaved.disabledText = language.getExtraString(ExtraText::kSavedGameDamaged);
            break;
        case SavedState::kNone:
            continueSaved.bDisabled = 1;
            continueSaved.disabledText = language.getString(StringId::CONTINUEGAMEHINTDISABLED);
            break;
    }
}
