#include "game/GameControllerCampaign.h"

#include <algorithm>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/AnnouncementText.h"
#include "game/Cannon.h"
#include "game/Enemy.h"
#include "game/EnemySpawner.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/InvasionWaveTable.h"
#include "game/Palm.h"
#include "game/ParachuteCrate.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/Camera.h"
#include "render/Skin.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/FadingText.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuFonts.h"
#include "ui/PointCamera.h"
#include "ui/TextBacking.h"

static_assert(GameControllerCampaign::kWaveCount == SavedGame::kMaxInvasionWaves);

QOR_DEFINE_CLASS(GameControllerCampaign, GameController, (&makeInstance<GameControllerCampaign, BasicLink>))

ClassInfo* GameControllerCampaign::getClass() const { return &classInfo; }

namespace {
constexpr double kTipDelay = 0.001;      // s: the state after the tips, so that they show first
constexpr double kGetReadyTime = 5.0;    // s
constexpr double kWaveIntroTime = 3.0;   // s from the wave's announcement to play
constexpr double kWonMessageTime = 5.0;  // s of each closing message
constexpr double kFadeTime = 3.0;        // s of the fade to black
constexpr double kStartDelay = 1.0;      // s before the first state
constexpr float kIslandTop = 21.0f;      // units: where the island's picture ends
constexpr float kCannonSpacing = 32.0f;  // units from the centre, with two cannons
constexpr double kCrateBase = 30.0;      // s
constexpr double kCrateSpread = 30.0;    // s
constexpr int kCrateWeapons = 5;         // weapon types 1 .. 5
constexpr float kCameraX = 200.0f;       // units: the camera's shift toward a wave's side
constexpr float kCameraY = 135.0f;
constexpr float kKeyPointZ = -320.0f;
constexpr double kCameraGlide = 3.0;  // s
constexpr float kOverviewY = 405.0f;  // the camera's place when the game starts
constexpr float kOverviewZ = -960.0f;

float fraction() { return static_cast<float>(Random::next()) / 65536.0f; }

std::u16string text(int id) { return qor->language().getString(id); }

std::int32_t clampTo(std::int32_t v, std::int32_t lowest, std::int32_t highest) {
    return std::clamp(v, lowest, highest);
}
}  // namespace

GameControllerCampaign::GameControllerCampaign() {
    pSpawnerRoot = new QorBase();
    pScene->addChildFirst(pSpawnerRoot);
    difficulty = clampTo(difficulty, 0, 4);
    palmsPerIsland = (5 - difficulty) * 2;
    applyFixedRules();
    takeRulesFromConfiguration();
    setPlayerColours();
    bonusDueTime = nextBonusTime();
    crateDueTime = nextCrateTime();
}

// What the Invasion fixes whatever the configuration or a saved block say: its own
// high-score table, Standard bonus frequency, no sabotage, bombs that never expire, and
// people on every side.
void GameControllerCampaign::applyFixedRules() {
    scoreTable = kScoreTable;
    bonusFrequency = 1;
    bSabotageAllowed = 0;
    bLimitBombRange = 0;
    computerPlayers = 0;
}

// The Invasion's "Play..." choice, and the mutators: a game played with any of them
// counts for half its rating.
void GameControllerCampaign::takeRulesFromConfiguration() {
    playerSides = 1;
    if (!global) return;
    const GameConfiguration& c = global->configuration;
    if (c.invasionPlayers != 0) playerSides = 2;
    std::uint8_t* mutators[GameConfiguration::kMutators] = {
        &bMatrixFight, &bBerserk, &bNoBlaster, &bBloatedProjectiles, &bBouncyBombs, &bAutocannons, &bPX35};
    for (int i = 0; i < GameConfiguration::kMutators; ++i) {
        *mutators[i] = c.mutators[i] ? 1 : 0;
        if (c.mutators[i]) bRatingHalved = 1;
    }
}

std::array<std::uint8_t, GameControllerCampaign::kBlockSize>* GameControllerCampaign::profileBlock() {
    if (!global) return nullptr;
    ProfileManager& profiles = global->profiles;
    if (profiles.current < 0 || profiles.current >= ProfileManager::kSlots) return nullptr;
    return &profiles.profiles[static_cast<std::size_t>(profiles.current)].invasionGame;
}

std::u16string GameControllerCampaign::savedGameFault(const SavedGame& block) const { return block.invasionFault(); }

void GameControllerCampaign::startGame(const SavedGame* block) {
    GameController::startGame(block);
    if (!bContinued) block = nullptr;
    if (block) {
        loadgame(*block);
        // The saved end of a slow motion is a time of the run that saved it; this run's
        // clock starts again near 0, so it would slow the world for as long.
        slowMotionEnd = 0.0;
        pScene->timeScale = sceneTimeScale();
    }
    buildIsland();
    plantPalms(block);
    palmsDownOnDisk = palmsDown();
    placeCannons();
    resetView();
    if (block)
        for (int s = 0; s < kSides; ++s) playerData[s]->loadWeapon(block->player(s));
    setState(block ? kNextWave : kIntroTips, kStartDelay);
}

void GameControllerCampaign::buildIsland() {
    auto* island = new Renderable();
    island->pSkin = static_cast<Skin*>(qor->resources().find(true, u"island:all"));
    const auto* first = static_cast<Skin*>(qor->resources().find(true, u"island:0"));
    island->position = Vector3{0.0f, kIslandTop - 0.5f * first->height, 0.0f};
    island->updateXform();
    layer(kIslandList)->addChild(island);
    playerData[0]->pIsland = island;
}

// Only side 0 has an island and palms: both sides defend them.
void GameControllerCampaign::plantPalms(const SavedGame* block) {
    PlayerData& owner = *playerData[0];
    owner.createPalms(palmsPerIsland, 1);
    if (block) {
        QOR_ASSERT("GameControllerCampaign::startGame", palmsPerIsland == owner.totalPalms);
        if (!owner.loadPalms(block->player(0)))
            QOR_LOG("GameControllerCampaign::startGame", u"The saved palms were damaged; they stand anew.");
        return;
    }
    const auto health = static_cast<float>(5 - difficulty);
    for (int i = 0; i < owner.totalPalms; ++i) owner.palms[i]->health = owner.palms[i]->maxHealth = health;
}

// The weapon energy never recharges by itself here: it comes only with crates and the
// blaster bonus.
void GameControllerCampaign::placeCannons() {
    for (int s = 0; s < playerSides; ++s) {
        auto* cannon = new Cannon(s);
        cannon->position = Vector3{kCannonSpacing * static_cast<float>((playerSides - 1) * (2 * s - 1)), 0.0f, 0.0f};
        cannon->updateXform();
        cannon->energyRecharge = 0.0f;
        cannon->setWeapon(Weapon::createFromType(0, s));
        layer(kVehicleList)->addChild(cannon);
        playerData[s]->pVehicle = cannon;
    }
}

// The camera cuts to the overview of the island (dropping the intro's key points) and
// the game fades in from black.
void GameControllerCampaign::resetView() {
    pScene->camera()->setPosition(0.0f, kOverviewY, kOverviewZ);
    if (!global || !global->pContextManager) return;
    IrisOverlay* fade = global->pContextManager->pOverlay;
    fade->level = fade->target = 1.0f;
    fadeTo(0.0f);
}

void GameControllerCampaign::fadeTo(float target) {
    if (global && global->pContextManager) global->pContextManager->pOverlay->target = target;
}

void GameControllerCampaign::onStateChanged() {
    switch (state) {
        case kIntroTips:
            showIntroTips();
            setState(kGetReady, kTipDelay);
            break;
        case kGetReady:
            enterGetReady();
            setState(kNextWave, kGetReadyTime);
            break;
        case kNextWave:
            enterNextWave();
            setState(kPlaying, kWaveIntroTime);
            break;
        case kWon:
            finishCampaign(StringId::CONGRATULATIONS);
            setState(kWonSecond, kWonMessageTime);
            break;
        case kWonSecond:
            announce(text(StringId::YOUHAVEWON));
            setState(kFadeOut, kWonMessageTime);
            break;
        case kGameOver:
            finishCampaign(StringId::GAMEOVER);
            setState(kFadeOut, kWonMessageTime);
            break;
        case kFadeOut:
            fadeTo(1.0f);
            setState(kEnd, kFadeTime);
            break;
        case kEnd:
            endGame();
            break;
        default:  // playing: the per-frame rules decide
            break;
    }
}

void GameControllerCampaign::enterGetReady() {
    announce(text(StringId::GETREADY));
    auto* key = new PointCamera(0.0f, kCameraY, kKeyPointZ);
    key->blendTime = kGetReadyTime;
    pScene->camera()->addChild(key);
}

// The save comes first, while `wave` still counts the waves finished: a game continued
// from it plays this wave again.
void GameControllerCampaign::enterNextWave() {
    if (auto* bytes = profileBlock()) savegame(SavedGame(*bytes));
    saveProfilesToDisk();
    ++wave;
    QOR_LOG("GameControllerCampaign::onStateChange", u"Wave %d.", wave);
    announce(formatString(text(StringId::WAVEX), wave));
    for (int s = 0; s < playerSides; ++s) pHud[s]->bHidden = 0;
    pSpawnerRoot->deleteChildren();
    spawnWave();
}

void GameControllerCampaign::finishCampaign(int textId) {
    invalidateSave();
    announce(text(textId));
}

void GameControllerCampaign::invalidateSave() {
    if (auto* bytes = profileBlock()) SavedGame(*bytes).setValidData(false);
    saveProfilesToDisk();
}

void GameControllerCampaign::announce(const std::u16string& line) { pAnnouncement->show(line, kAnnouncementTime, 0); }

void GameControllerCampaign::spawnWave() {
    for (int s = 0; s < playerSides; ++s) {
        Vehicle* v = playerData[s]->pVehicle;
        if (!v) continue;
        v->bonusIcons.deleteChildren();
        v->attackFactor = v->defenceFactor = v->energyCap = 1.0f;
        v->energy = std::min(v->energy, 1.0f);
    }
    const float level = waveCount != 0 ? static_cast<float>(wave) / static_cast<float>(waveCount) : 0.0f;
    placeCamera(InvasionWaveTable::cameraDirection(wave), InvasionWaveTable::cameraWide(wave) ? 1 : 0);
    for (const InvasionWaveTable::Row& r : InvasionWaveTable::rowsFor(wave))
        pSpawnerRoot->addChild(
            new EnemySpawner(r.type, r.count, r.group, r.evenly, level, r.tint, r.startTime, r.endTime));
}

void GameControllerCampaign::placeCamera(std::int32_t direction, std::uint8_t wide) {
    const float zoom = wide ? 2.0f : 1.0f;
    auto* key = new PointCamera(kCameraX * zoom * static_cast<float>(direction), kCameraY * zoom, kKeyPointZ * zoom);
    key->blendTime = kCameraGlide;
    pScene->camera()->addChild(key);
}

double GameControllerCampaign::nextCrateTime() {
    return localTime + (kCrateBase + kCrateSpread * fraction()) / static_cast<double>(std::max(playerSides, 1));
}

// ---- per frame ----

void GameControllerCampaign::tickGame() {
    if (state == kPlaying) {
        releaseBonusBalloon();
        dropWeaponCrate();
        checkTreeTip();
        checkWaveEnd();
    }
    replaceSpentWeapons();
}

// Balloons come anywhere in view, but never below the sea's surface line at height 0.
void GameControllerCampaign::releaseBonusBalloon() {
    if (localTime <= bonusDueTime) return;
    bonusDueTime = nextBonusTime();
    const ViewRect view = pScene->pCamera->getViewRect(0.0f);
    const float bottom = std::max(view.bottom, 0.0f);
    const float y = bottom + fraction() * std::max(view.top - bottom, 0.0f);
    const float x = view.left + fraction() * (view.right - view.left);
    spawnBonusBalloon(x, y, 0.0f, kBalloonLifetime);
    if (helpOn() && !bBonusTipShown) {
        bBonusTipShown = 1;
        pushTip(textTip(
            {StringId::CAMPAIGNHELP31, StringId::CAMPAIGNHELP32, StringId::CAMPAIGNHELP33, StringId::CAMPAIGNHELP34},
            MenuFonts::kMedium, -30.0f));
    }
}

void GameControllerCampaign::dropWeaponCrate() {
    if (localTime <= crateDueTime) return;
    crateDueTime = nextCrateTime();
    auto* crate = new ParachuteCrate(1 + static_cast<std::int32_t>(Random::next() % kCrateWeapons));
    layer(kEnemyList)->addChild(crate);
    crate->enter();
    targetsReleased += crate->scoreValue;
    if (!helpOn() || bCrateTipShown) return;
    bCrateTipShown = 1;
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    pushTip(textTip({StringId::CAMPAIGNHELP41, StringId::CAMPAIGNHELP42, StringId::CAMPAIGNHELP43,
                     touch ? StringId::IOS_CAMPAIGNHELP44 : StringId::CAMPAIGNHELP44},
                    MenuFonts::kSmall, -40.0f));
}

void GameControllerCampaign::checkTreeTip() {
    const PlayerData& owner = *playerData[0];
    if (owner.livePalms == owner.totalPalms || !helpOn() || bTreeTipShown) return;
    bTreeTipShown = 1;
    pushTip(textTip(
        {StringId::CAMPAIGNHELP51, StringId::CAMPAIGNHELP52, StringId::CAMPAIGNHELP53, StringId::CAMPAIGNHELP54},
        MenuFonts::kMedium, -30.0f));
}

// A change asked for here only takes effect after its delay; asking again for the state
// already pending changes nothing (StateBase), so the first delay keeps running.
void GameControllerCampaign::checkWaveEnd() {
    if (playerData[0]->livePalms <= 0) {
        setState(kGameOver, kGameOverDelay);
        return;
    }
    if (anyHostileEnemy() || pSpawnerRoot->firstChild) return;
    setState(wave >= waveCount ? kWon : kNextWave, kWaveEndDelay);
}

bool GameControllerCampaign::anyHostileEnemy() const {
    for (BasicLink* c = layer(kEnemyList)->firstChild; c; c = c->next) {
        const auto* enemy = dynamic_cast<const Enemy*>(static_cast<QorBase*>(c));
        if (enemy && !enemy->pendingDelete && enemy->isHostile()) return true;
    }
    return false;
}

// A weapon whose energy ran out is lost: the side falls back to the basic cannon, which
// costs nothing, so this happens once per spent weapon.
void GameControllerCampaign::replaceSpentWeapons() {
    for (int s = 0; s < playerSides; ++s) {
        const Vehicle* v = playerData[s]->pVehicle;
        if (!v || !v->weapon || !v->weapon->bOutOfEnergy) continue;
        switchWeapon(s, 0);
        if (state != kPlaying || !helpOn() || bEnergyTipShown) continue;
        bEnergyTipShown = 1;
        pushTip(textTip(
            {StringId::CAMPAIGNHELP61, StringId::CAMPAIGNHELP62, StringId::CAMPAIGNHELP63, StringId::CAMPAIGNHELP64},
            MenuFonts::kMedium, -30.0f));
    }
}

// ---- collisions ----

void GameControllerCampaign::collide() {
    collideLists(kEnemyBombList, kPalmList, true);
    collideLists(kEnemyList, kPalmList, true);
    collideLists(kPlayerShotList, kEnemyList, false);
    collideLists(kPlayerShotList, kEnemyBombList, false);
    collideLists(kBonusBalloonList, kPlayerShotList, false);
}

void GameControllerCampaign::collideLists(int first, int second, bool palmTargets) {
    // The partners are gathered once per pair: the lists hold only game entities, and a
    // hit never adds to or removes from the second list within the pass.
    std::vector<GameEntity*> partners;
    for (BasicLink* c = layer(second)->firstChild; c; c = c->next) {
        auto* b = dynamic_cast<GameEntity*>(static_cast<QorBase*>(c));
        if (!b || (palmTargets && b->state != Palm::kStanding)) continue;
        partners.push_back(b);
    }
    for (ChildIterator it(layer(first), ChildIterator::kDestroyPending); !it.done; it.next()) {
        auto* a = dynamic_cast<GameEntity*>(static_cast<QorBase*>(it.current));
        if (!a) continue;
        if (palmTargets && first == kEnemyList) {
            const auto* enemy = dynamic_cast<const Enemy*>(a);
            if (!enemy || !enemy->hitsPalms) continue;
        }
        for (GameEntity* b : partners) {
            if (b->pendingDelete || (palmTargets && b->state != Palm::kStanding) || !a->collide(b)) continue;
            a->onCollision(b);
            b->onCollision(a);
            break;
        }
    }
}

// ---- the end ----

void GameControllerCampaign::endGame() {
    GameController::endGame();
    closeForResults();
}

void GameControllerCampaign::computeRating() {
    std::int32_t winner = 0;
    if (playerSides == 2 && playerData[1]->getScore() > playerData[0]->getScore()) winner = 1;
    const float progress = static_cast<float>(wave) / static_cast<float>(std::max(waveCount, 1)) * 0.8f + 0.2f;
    const auto skill = static_cast<float>(difficulty * 0.1 + 0.6);
    float rating =
        progress * skill *
        (static_cast<float>(playerData[winner]->getScore()) / static_cast<float>(std::max(targetsReleased, 1)));
    if (bRatingHalved) rating *= 0.5f;
    winnerSide = winner;
    playerData[winner]->rating = std::min(rating, 1.0f);
}

// ---- saving ----

void GameControllerCampaign::savegame(const SavedGame& block) {
    GameController::savegame(block);
    const SaveBytes& b = block.bytes;
    b.putS32(kWaveOffset, wave);
    b.putS32(kWaveCountOffset, waveCount);
    const std::uint8_t tips[4] = {bEnergyTipShown, bCrateTipShown, bBonusTipShown, bTreeTipShown};
    for (std::size_t i = 0; i < 4; ++i) b.putU8(kTipFlagsOffset + i, tips[i]);
}

// The base refuses a block whose campaign length or wave is out of range
// (savedGameFault), so both are taken as they are.
bool GameControllerCampaign::loadgame(const SavedGame& block) {
    if (!GameController::loadgame(block)) return false;
    applyFixedRules();
    const SaveBytes& b = block.bytes;
    waveCount = b.getS32(kWaveCountOffset);
    wave = b.getS32(kWaveOffset);
    std::uint8_t* tips[4] = {&bEnergyTipShown, &bCrateTipShown, &bBonusTipShown, &bTreeTipShown};
    for (std::size_t i = 0; i < 4; ++i) *tips[i] = b.getU8(kTipFlagsOffset + i) ? 1 : 0;
    return true;
}

// A palm is saved when it starts burning and again when it is lost; the disk hears of
// it once, at the start: a palm saved burning burns down again in a continued game.
void GameControllerCampaign::savePalms() {
    auto* bytes = profileBlock();
    if (!bytes) return;
    const SavedGame block(*bytes);
    for (int s = 0; s < kSides; ++s) playerData[s]->savePalms(block.player(s));
    const std::int32_t down = palmsDown();
    if (down <= palmsDownOnDisk) return;
    palmsDownOnDisk = down;
    saveProfilesToDisk();
}

std::int32_t GameControllerCampaign::palmsDown() const {
    std::int32_t down = 0;
    for (const PlayerData* p : playerData)
        for (int i = 0; i < p->totalPalms; ++i)
            if (p->palms[i] && p->palms[i]->state != Palm::kStanding) ++down;
    return down;
}

// ---- tips ----

bool GameControllerCampaign::helpOn() const { return global && global->configuration.bInGameHelp; }

void GameControllerCampaign::pushTip(InGameOverlay* tip) {
    if (global && global->pContextManager)
        global->pContextManager->addChild(tip);
    else
        tip->destroy();
}

// The controls tip goes on the stack first, so that the introduction, above it, shows
// first and the controls follow when it closes.
void GameControllerCampaign::showIntroTips() {
    if (!helpOn()) return;
    if (qor->input().inputMode == QorInput::kModeMouse) pushTip(controlsTip());
    pushTip(textTip(
        {StringId::CAMPAIGNHELP11, StringId::CAMPAIGNHELP12, StringId::CAMPAIGNHELP13, StringId::CAMPAIGNHELP14},
        MenuFonts::kMedium, -30.0f));
}

InGameOverlay* GameControllerCampaign::controlsTip() const {
    auto* tip = new InGameOverlay();
    tip->addLine(text(StringId::CAMPAIGNHELP21), MenuFonts::kMedium, 50.0f);
    tip->addLine(text(StringId::CAMPAIGNHELP22), MenuFonts::kMedium, 0.0f);
    const std::int32_t column = clampTo(sideFor(0), 0, GameConfiguration::kPlayers - 1);
    const KeyNames& names = qor->language().keyName;
    auto key = [&](int row) { return global ? names.get(global->configuration.keys[row][column]) : std::u16string(); };
    // The keys' line stands over the player's cannon and island: it gets a backing.
    tip->addLine(formatString(u"(%s: %s, %s, %s)", text(StringId::DEVICE_KEYBOARD), key(GameConfiguration::kKeyLeft),
                              key(GameConfiguration::kKeyRight), key(GameConfiguration::kKeyFire)),
                 MenuFonts::kSmall, -160.0f)
        ->backing = TextBacking::kColour;
    return tip;
}

// A tip of four lines: a large title and three medium lines, the last one in `lastFont`
// at `lastY`.
InGameOverlay* GameControllerCampaign::textTip(const int (&ids)[4], int lastFont, float lastY) {
    auto* tip = new InGameOverlay();
    tip->addLine(text(ids[0]), MenuFonts::kLarge, 100.0f);
    tip->addLine(text(ids[1]), MenuFonts::kMedium, 30.0f);
    tip->addLine(text(ids[2]), MenuFonts::kMedium, 0.0f);
    tip->addLine(text(ids[3]), lastFont, lastY);
    return tip;
}
