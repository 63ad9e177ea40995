#include "game/GameController.h"

#include <cmath>
#include <iterator>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "game/AnnouncementText.h"
#include "game/BonusBalloonKind.h"
#include "game/GameControllerResults.h"
#include "game/GameEntity.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
#include "game/WeaponButton.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundStream.h"
#include "platform/AudioSystem.h"
#include "render/Camera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/SkyWidget.h"
#include "ui/Snowfall.h"

namespace {
constexpr int kEscapeKey = 1;
constexpr int kPauseKey = 197;
constexpr double kAnnouncementFade = 0.25;  // s
constexpr float kSnowSpread = 3.0f;
constexpr double kNoBonus = 1000000.0;  // s: never, as far as a game goes

GameGlobal* gameGlobal() { return dynamic_cast<GameGlobal*>(global); }

bool isFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A sound by name, played when the resources have it (none in tools and tests).
Sound* findSound(const char16_t* name) { return dynamic_cast<Sound*>(qor->resources().find(false, name)); }
}  // namespace

GameController::GameController()
    : difficulty(global ? global->configuration.difficulty : 2),
      bonusFrequency(global ? global->configuration.gameModeId : 1) {
    pCamera->position.z = static_cast<float>(kCameraZ);
    bDeleteOnClose = 1;
    bCloseOnEscape = 0;  // Escape opens the pause screen instead
    bShowPointer = 0;
    buildScene();
}

GameController::~GameController() { QOR_LOG("GameController::~GameController", u"Stopping (table=%d).", scoreTable); }

// The order of the scene's children is the drawing order; the snowfall and the player
// data draw from the shared generator in this order when they are made.
void GameController::buildScene() {
    pSky = new SkyWidget();
    pScene = new ContextBlender();
    pOverlay = new Context();
    pAnnouncement = new AnnouncementText(global ? global->fonts[Global::kFontLarge] : nullptr, 0xFFFFFFFFu);
    pAnnouncement->fadeTime = kAnnouncementFade;
    pScene->addChild(pSky);
    for (auto*& list : layers) {
        list = new QorBase();
        pScene->addChild(list);
    }
    pScene->addChild(new Snowfall(pScene->pCamera, kSnowSpread));
    for (int s = 0; s < kSides; ++s) {
        pHud[s] = new HudOverlay(s);
        pOverlay->addChild(pHud[s]);
        playerData[s] = new PlayerData(s);
        pScene->addChild(playerData[s]);
    }
    pOverlay->addChild(pAnnouncement);
    addChild(pScene);
    addChild(pOverlay);
}

void GameController::onDeactivate(bool closing) {
    if (!closing) return;
    GameGlobal* app = gameGlobal();
    if (app && app->pCurrentGame == this) app->pCurrentGame = nullptr;
    playMusic(u"musicMenu");
    // What only this game drew or played goes now, before the screen beneath draws and
    // loads its own: the world has not been drawn since the iris closed over it.
    qor->purgeResources();
}

void GameController::tickContents(double time, double dt) {
    // The vehicles, ticked in the scene, read the overlay's pointer of this frame.
    pOverlay->updatePointerPosition();
    Context::tickContents(time, dt);
    // Before the collisions: an entity that has left the numbers behind must not hit.
    removeLostEntities();
    pScene->timeScale = sceneTimeScale();
    checkPauseKeys();
    collide();
    tickGame();
}

void GameController::addBoxesToKeepClear(std::vector<ViewRect>& boxes) const {
    for (const HudOverlay* hud : pHud)
        if (hud) hud->addBoxesToKeepClear(boxes);
}

double GameController::sceneTimeScale() const {
    if (!bMatrixFight) return speed;
    // Wall time, so that the slowed world does not stretch its own slow motion.
    const double now = static_cast<float>(qor->timeKeeper().now());
    const double slowUntil = slowMotionEnd - kSlowMotionRamp;
    if (now <= slowUntil) return kSlowMotionScale * speed;
    if (now >= slowMotionEnd) return speed;
    const double f = (now - slowUntil) / kSlowMotionRamp;
    return (kSlowMotionScale + (1.0 - kSlowMotionScale) * f) * speed;
}

void GameController::checkPauseKeys() {
    if (bCloseOnEscape) return;
    const QorInput& input = qor->input();
    const bool touched = input.inputMode == QorInput::kModeTouch && input.anyTouchPressed() && isPauseButtonTouched();
    if (input.wasPressed(kEscapeKey) || input.wasPressed(kPauseKey) || touched) openPauseScreen();
}

// The pause screen belongs to the menus; it is made through its class record, so that
// the game does not depend on the menus' classes.
void GameController::openPauseScreen() {
    const ClassInfo* record = ClassRegistry::instance().findByName(u"ContextPaused");
    if (!record || !record->factory || !global || !global->pContextManager) return;
    auto* screen = dynamic_cast<Context*>(static_cast<BasicLink*>(record->factory()));
    if (screen) global->pContextManager->addChild(screen);
}

void GameController::playMusic(const char16_t* name) {
    if (!qor->pQorAudio || !qor->pResourceManager) return;
    auto* stream = dynamic_cast<SoundStream*>(qor->resources().find(true, name));
    qor->audio().setMusic(stream);
}

void GameController::startGame(const SavedGame* block) {
    const SavedGame* continued = block && acceptSavedGame(*block) ? block : nullptr;
    bContinued = continued ? 1 : 0;
    QOR_LOG("GameController::startGame", u"Starting (%s, table=%d)...", continued ? u"CONTINUED" : u"NEW", scoreTable);
    // A continued game keeps the mutators of its block, which its loadgame reads.
    if (!continued) takeMutators();
    speed = bBerserk ? 2.0 : 1.0;
    pScene->timeScale = speed;
    playerData[0]->bHuman = 2 - computerPlayers > 0 ? 1 : 0;
    playerData[1]->bHuman = 2 - computerPlayers > 1 ? 1 : 0;
    if (!global || global->configuration.bInGameMusic)
        playMusic(u"musicGame");
    else if (qor->pQorAudio)
        qor->audio().setMusic(nullptr);
}

std::u16string GameController::savedGameFault(const SavedGame& block) const { return block.fault(); }

// A damaged block (a broken file, a block of another version) must neither stop the
// program nor be offered again: it is cleared in the profile, and only its valid flag is
// touched, so the rest of the profile stays as it was.
bool GameController::acceptSavedGame(const SavedGame& block) {
    if (!block.validData()) return false;
    const std::u16string fault = savedGameFault(block);
    if (fault.empty()) return true;
    QOR_LOG("GameController::startGame", u"The saved game is damaged (%s); it is cleared and a new game starts.",
            fault);
    block.setValidData(false);
    return false;
}

// The switches of the mutators screen, in the order both records keep them. Playing
// with any of them costs half the rating, as the tips warn.
void GameController::takeMutators() {
    if (!global) return;
    std::uint8_t* flags[] = {&bMatrixFight, &bBerserk,     &bNoBlaster, &bBloatedProjectiles,
                             &bBouncyBombs, &bAutocannons, &bPX35};
    static_assert(std::size(flags) == GameConfiguration::kMutators);
    for (std::size_t i = 0; i < std::size(flags); ++i) {
        *flags[i] = global->configuration.mutators[i] ? 1 : 0;
        if (*flags[i]) bRatingHalved = 1;
    }
}

// Whatever made a number run away (a division by nothing, a file's value), the entity
// would otherwise fly on for ever without being drawn, removed or hit.
void GameController::removeLostEntities() {
    for (int l = 0; l < kLayerCount; ++l)
        for (BasicLink* c = layers[l]->firstChild; c; c = c->next) {
            auto* e = dynamic_cast<GameEntity*>(static_cast<QorBase*>(c));
            if (!e || e->pendingDelete || (isFinite(e->position) && isFinite(e->velocity))) continue;
            QOR_LOG("GameController::removeLostEntities",
                    u"An entity of list %d has a position or velocity that is not a number; it is removed.", l);
            e->pendingDelete = 1;
        }
}

void GameController::endGame() {
    computeRating();
    for (PlayerData* p : playerData) p->rating *= 0.9f;
    if (!qor->pQorAudio) return;
    qor->audio().setMusic(nullptr);
    // Restarting the output silences every sample still playing.
    AudioSystem& audio = QorAudio::library();
    audio.stop();
    audio.start();
}

void GameController::setPlayerColours() {
    for (int s = 0; s < kSides; ++s) playerData[s]->colour = kPlayerColours[s];
}

void GameController::closeForResults() {
    bFinished = 1;
    if (!global || !global->pContextManager) return;  // a scene built without the application
    auto* results = new GameControllerResults();
    results->scoreTable = scoreTable;
    global->pContextManager->addChild(results);  // clears its finished flag
}

void GameController::saveProfilesToDisk() {
    if (global) global->profiles.saveInBackground();
}

void GameController::savegame(const SavedGame& block) {
    QOR_ASSERT("GameController::savegame", block.bytes.size() >= SavedGame::kExtras);
    const SaveBytes& b = block.bytes;
    block.setValidData(true);
    b.putS32(SavedGame::kDifficulty, difficulty);
    b.putS32(SavedGame::kPlayerSides, playerSides);
    b.putS32(SavedGame::kComputerPlayers, computerPlayers);
    b.putU8(SavedGame::kBonusesAllowed, bBonusesAllowed);
    b.putU8(SavedGame::kSabotageAllowed, bSabotageAllowed);
    b.putU8(SavedGame::kReservedFlag, bReservedFlag);
    b.putU8(SavedGame::kLimitBombRange, bLimitBombRange);
    b.putS32(SavedGame::kBonusFrequency, bonusFrequency);
    b.putS32(SavedGame::kPalmsPerIsland, palmsPerIsland);
    b.putF32(SavedGame::kAiSkill, aiSkill);
    b.putS32(SavedGame::kWinnerSide, winnerSide);
    b.putU8(SavedGame::kRatingHalved, bRatingHalved);
    b.putU8(SavedGame::kScoreFlag, bScoreFlag);
    b.putF64(SavedGame::kSlowMotionEnd, slowMotionEnd);
    b.putS32(SavedGame::kScoreTable, scoreTable);
    b.putS32(SavedGame::kTargetsReleased, targetsReleased);
    const std::uint8_t* mutators[] = {&bMatrixFight, &bBerserk,     &bNoBlaster, &bBloatedProjectiles,
                                      &bBouncyBombs, &bAutocannons, &bPX35};
    for (std::size_t i = 0; i < 7; ++i) b.putU8(SavedGame::kMutators + i, *mutators[i]);
    b.putF64(SavedGame::kSpeed, speed);
    for (std::size_t i = 0; i < 3; ++i) b.putF32(SavedGame::kVehicleFactors + 4 * i, vehicleFactors[i]);
    for (int s = 0; s < kSides; ++s) playerData[s]->saveplayer(block.player(s));
}

bool GameController::loadgame(const SavedGame& block) {
    if (const std::u16string fault = savedGameFault(block); !fault.empty()) {
        QOR_LOG("GameController::loadgame", u"The saved game is damaged or from elsewhere (%s); it is not continued.",
                fault);
        return false;
    }
    const SaveBytes& b = block.bytes;
    difficulty = b.getS32(SavedGame::kDifficulty);
    playerSides = b.getS32(SavedGame::kPlayerSides);
    computerPlayers = b.getS32(SavedGame::kComputerPlayers);
    bBonusesAllowed = b.getU8(SavedGame::kBonusesAllowed) ? 1 : 0;
    bSabotageAllowed = b.getU8(SavedGame::kSabotageAllowed) ? 1 : 0;
    bReservedFlag = b.getU8(SavedGame::kReservedFlag) ? 1 : 0;
    bLimitBombRange = b.getU8(SavedGame::kLimitBombRange) ? 1 : 0;
    bonusFrequency = b.getS32(SavedGame::kBonusFrequency);
    palmsPerIsland = b.getS32(SavedGame::kPalmsPerIsland);
    aiSkill = b.getF32(SavedGame::kAiSkill);
    winnerSide = b.getS32(SavedGame::kWinnerSide);
    bRatingHalved = b.getU8(SavedGame::kRatingHalved) ? 1 : 0;
    bScoreFlag = b.getU8(SavedGame::kScoreFlag) ? 1 : 0;
    slowMotionEnd = b.getF64(SavedGame::kSlowMotionEnd);
    scoreTable = b.getS32(SavedGame::kScoreTable);
    targetsReleased = b.getS32(SavedGame::kTargetsReleased);
    std::uint8_t* mutators[] = {&bMatrixFight, &bBerserk,     &bNoBlaster, &bBloatedProjectiles,
                                &bBouncyBombs, &bAutocannons, &bPX35};
    for (std::size_t i = 0; i < 7; ++i) *mutators[i] = b.getU8(SavedGame::kMutators + i) ? 1 : 0;
    speed = b.getF64(SavedGame::kSpeed);
    for (std::size_t i = 0; i < 3; ++i) vehicleFactors[i] = b.getF32(SavedGame::kVehicleFactors + 4 * i);
    for (int s = 0; s < kSides; ++s) playerData[s]->loadplayer(block.player(s));
    // The game was started before the block was read: a continued Berserk game runs at
    // its saved speed from the first frame.
    pScene->timeScale = sceneTimeScale();
    return true;
}

void GameController::savePalms() {}
void GameController::tickGame() {}
void GameController::collide() {}
void GameController::computeRating() {}
void GameController::onVehicleDestroyed(std::int32_t) {}
void GameController::onPalmsDestroyed(std::int32_t) {}

std::int32_t GameController::sideFor(std::int32_t i) const { return playerSides - computerPlayers == 2 ? 1 - i : i; }

double GameController::nextBonusTime() {
    if (!bBonusesAllowed) return localTime + kNoBonus;
    // Seconds: the shortest wait and the random part on top, by bonus frequency.
    static constexpr double kBase[3] = {10.0, 10.0, 10.0};
    static constexpr double kSpread[3] = {60.0, 30.0, 10.0};
    const double u = static_cast<double>(Random::next()) / 65536.0;
    if (bonusFrequency < 0 || bonusFrequency > 2) return localTime;
    return localTime + kBase[bonusFrequency] + u * kSpread[bonusFrequency];
}

void GameController::spawnBonusBalloon(float x, float y, float z, double value) {
    const std::uint32_t kinds = bSabotageAllowed ? 6 : 3;
    const auto kind = static_cast<std::int32_t>(Random::next() % kinds);
    if (GameEntity* balloon = createBonusBalloon(kind, x, y, z, value)) {
        layers[kBonusBalloonList]->addChild(balloon);
        targetsReleased += balloon->scoreValue;
    }
    if (Sound* pop = findSound(u"balloonPop")) pop->playAt(Vector3{x, y, z});
}

// `value` is the balloon's lifetime in seconds.
GameEntity* GameController::createBonusBalloon(std::int32_t kind, float x, float y, float z, double value) {
    return new BonusBalloonKind(kind, x, y, z, value);
}

void GameController::switchWeapon(std::int32_t side, std::int32_t type) {
    PlayerData* player = getPlayerData(side);
    if (!player || !player->giveWeapon(type)) return;
    pHud[side]->addChild(new WeaponButton(side, 0, false, player->pVehicle->weapon->name));
    if (Sound* sound = findSound(type == 0 ? u"switchWeaponLower" : u"switchWeapon")) sound->play();
}

bool GameController::isPauseButtonTouched() const {
    HudOverlay* hud = pHud[0];
    return hud->showsTouchButton() && hud->touchButton.isPointInside(pOverlay->pointer);
}

PlayerData* GameController::getPlayerData(std::int32_t side) const {
    return side >= 0 && side < kSides ? playerData[side] : nullptr;
}

QorBase* GameController::layer(int index) const { return index >= 0 && index < kLayerCount ? layers[index] : nullptr; }
