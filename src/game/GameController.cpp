#include "game/GameController.h"

#include "engine/Logger.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "ui/ContextBlender.h"
#include "ui/GameGlobal.h"

GameController::GameController()
    : difficulty(global ? global->configuration.difficulty : 2),
      bonusFrequency(global ? global->configuration.gameModeId : 1) {
    buildScene();
}

GameController::~GameController() { QOR_LOG("GameController::~GameController", u"Stopping (table=%d).", scoreTable); }

void GameController::buildScene() {
    pScene = new ContextBlender();
    pOverlay = new Context();
    for (auto*& list : layers) {
        list = new QorBase();
        pScene->addChild(list);
    }
    for (int s = 0; s < kSides; ++s) {
        playerData[s] = new PlayerData(s);
        pScene->addChild(playerData[s]);
    }
    addChild(pScene);
    addChild(pOverlay);
}

void GameController::onDeactivate(bool) {}
void GameController::tickContents(double time, double dt) { Context::tickContents(time, dt); }
void GameController::savegame(const SavedGame&) {}
void GameController::savePalms() {}
bool GameController::loadgame(const SavedGame& block) { return block.isSound(); }
void GameController::startGame(const SavedGame*) {}
void GameController::endGame() {}
void GameController::tickGame() {}
void GameController::collide() {}
void GameController::computeRating() {}
void GameController::onVehicleDestroyed(std::int32_t) {}
void GameController::onPalmsDestroyed(std::int32_t) {}
std::int32_t GameController::sideFor(std::int32_t i) const { return playerSides - computerPlayers == 2 ? 1 - i : i; }
double GameController::nextBonusTime() { return localTime + 1000000.0; }
void GameController::spawnBonusBalloon(float, float, float, double) {}
void GameController::switchWeapon(std::int32_t side, std::int32_t type) {
    if (PlayerData* p = getPlayerData(side)) p->giveWeapon(type);
}
bool GameController::isPauseButtonTouched() const { return false; }
PlayerData* GameController::getPlayerData(std::int32_t side) const {
    return side >= 0 && side < kSides ? playerData[side] : nullptr;
}
QorBase* GameController::layer(int index) const { return index >= 0 && index < kLayerCount ? layers[index] : nullptr; }
double GameController::sceneTimeScale() const { return speed; }
void GameController::checkPauseKeys() {}
void GameController::openPauseScreen() {}
void GameController::playMusic(const char16_t*) {}
