#include "game/GameControllerDuel.h"

#include <algorithm>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/AnnouncementText.h"
#include "game/Cannon.h"
#include "game/CannonAI.h"
#include "game/FollowCamera.h"
#include "game/GameCamera.h"
#include "game/GameLauncher.h"
#include "game/HudOverlay.h"
#include "game/Palm.h"
#include "game/Plane.h"
#include "game/PlaneAI.h"
#include "game/PlaneAIDogfight.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponBombBay.h"
#include "game/WeaponCannon.h"
#include "game/WeaponGun.h"
#include "game/WeaponPlaneGun.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/Camera.h"
#include "render/Skin.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/IrisOverlay.h"
#include "ui/PointCamera.h"

QOR_DEFINE_CLASS(GameControllerDuel, GameController, (&makeInstance<GameControllerDuel, BasicLink>))

ClassInfo* GameControllerDuel::getClass() const { return &classInfo; }

namespace {
constexpr double kStep = 0.001;      // s: states that only lead on
constexpr double kStartDelay = 1.0;  // s before the first state
constexpr double kFightTime = 5.0;   // s of "Fight!" while the camera glides in
constexpr double kFightAnnouncement = 3.0;
constexpr double kTitleTime = 2.0;        // s the day's and the round's titles show
constexpr double kDayTitleDelay = 2.0;    // s from the day's title to its first round
constexpr double kRoundStartDelay = 1.0;  // s from the set-up to play
constexpr double kRoundOverDelay = 1.0;   // s from a round's end to the next
constexpr double kFadeTime = 2.0;         // s of the fade out after a day
constexpr float kIslandTop = 21.0f;       // units: where the island's picture ends
constexpr float kViewY = 384.0f;          // the camera between rounds
constexpr float kViewZ = -320.0f;
constexpr float kOverviewY = 405.0f;  // the camera when the war starts
constexpr float kOverviewZ = -960.0f;
constexpr float kPlaneLowest = 50.0f;  // units: planes start 50 .. 399 up
constexpr std::uint32_t kPlaneSpread = 350;
constexpr double kBalloonValue = 90.0;

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

GameControllerDuel::GameControllerDuel() {
    // "A Friend" is 1; anything else, "Alone" from a hand-edited file included, plays
    // against the computer.
    const std::int32_t opponent = global ? global->configuration.duelOpponent : 2;
    computerPlayers = opponent == 1 ? 0 : 1;
    scoreTable = kScoreTable;
    difficulty = std::clamp(difficulty, 0, 4);
    aiSkill = static_cast<float>(difficulty) / 4.0f;
    applyFixedRules();
    setPlayerColours();
}

// What the Duel fixes whatever a saved block says: two sides, three palms a day, and at
// most one side for the computer.
void GameControllerDuel::applyFixedRules() {
    playerSides = 2;
    palmsPerIsland = kPalms;
    computerPlayers = std::clamp(computerPlayers, 0, 1);
}

std::optional<SavedGame> GameControllerDuel::profileBlock() {
    auto* bytes = GameLauncher::duelBlock();
    return bytes ? std::optional<SavedGame>(SavedGame(*bytes)) : std::nullopt;
}

std::u16string GameControllerDuel::savedGameFault(const SavedGame& block) const { return block.duelFault(); }

// ---- the start ----

void GameControllerDuel::startGame(const SavedGame* block) {
    GameController::startGame(block);
    const SavedGame* continued = bContinued ? block : nullptr;
    buildIslands();
    pScene->camera()->setPosition(0.0f, kOverviewY, kOverviewZ);
    if (global && global->pContextManager) {
        IrisOverlay* fade = global->pContextManager->pOverlay;
        fade->level = fade->target = 1.0f;
    }
    fadeTo(0.0f);
    const double freshBonusTime = GameController::nextBonusTime();
    nextBonusTime = freshBonusTime;
    if (!continued) {
        setState(kStart, kStartDelay);
        return;
    }
    loadgame(*continued);
    // The saved times belong to the clock of the run that saved them: the next balloon
    // is timed afresh, and no slow motion carries over. The speed follows the mutators.
    nextBonusTime = freshBonusTime;
    slowMotionEnd = 0.0;
    speed = bBerserk ? 2.0 : 1.0;
    pScene->timeScale = sceneTimeScale();
    restorePalms(*continued);
    for (HudOverlay* hud : pHud) hud->bHidden = 0;
    setState(kRoundSetup, kStartDelay);
}

void GameControllerDuel::buildIslands() {
    const auto* first = static_cast<Skin*>(qor->resources().find(true, u"island:0"));
    for (int s = 0; s < kSides; ++s) {
        auto* island = new Renderable();
        // The island's picture is kept in halves; "island:all" is the whole of it.
        island->pSkin = static_cast<Skin*>(qor->resources().find(true, u"island:all"));
        island->position = Vector3{kIslandX[s], kIslandTop - 0.5f * first->height, 0.0f};
        island->updateXform();
        layer(kIslandList)->addChild(island);
        playerData[s]->pIsland = island;
        playerData[s]->createPalms(palmsPerIsland, 0);
    }
}

// The day's palms as they were saved, so that the damage of the earlier rounds and the
// count of live palms agree: a round cannot end while palms stand, a lost palm does not
// come back. Records that cannot be read leave a side's palms standing whole.
void GameControllerDuel::restorePalms(const SavedGame& block) {
    for (int s = 0; s < kSides; ++s) {
        PlayerData& p = *playerData[s];
        p.totalPalms = palmsPerIsland;  // the palms planted; the record's count is its own
        if (!p.loadPalms(block.player(s)))
            QOR_LOG("GameControllerDuel::startGame", u"The saved palms of side %d were damaged; they stand anew.", s);
        p.livePalms = 0;
        for (int i = 0; i < p.totalPalms; ++i)
            if (p.palms[i] && p.palms[i]->state != Palm::kBurnt) ++p.livePalms;
    }
}

// ---- the states ----

void GameControllerDuel::onStateChanged() {
    switch (state) {
        case kStart:
            setState(kFight, kStep);
            break;
        case kFight:
            enterFight();
            setState(kDayTitle, kFightTime);
            break;
        case kDayTitle:
            showDayTitle();
            break;
        case kBetweenRounds:
            setState(kRoundSetup, kStep);
            break;
        case kRoundSetup:
            if (!bTutorial) saveToProfile();
            setupRound();
            break;
        case kPlaying:
            pScene->camera()->addChild(new GameCamera());
            break;
        case kRoundOver:
            if (round >= kRounds) {
                setState(kDayOver);
                break;
            }
            addKeyPoint(0.0f, kViewY, kViewZ, 1.0);
            setState(kBetweenRounds, kRoundOverDelay);
            break;
        case kDayOver:
            setState(kFadeOut, kStep);
            break;
        case kFadeOut:
            fadeTo(1.0f);
            setState(day < days ? kDayTitle : kEnd, kFadeTime);
            break;
        case kEnd:
            if (!bTutorial) invalidateSave();
            endGame();
            break;
        default:
            break;
    }
}

void GameControllerDuel::enterFight() {
    announce(text(StringId::FIGHT), kFightAnnouncement);
    addKeyPoint(0.0f, kViewY, kViewZ, kFightTime);
}

void GameControllerDuel::addKeyPoint(float x, float y, float z, double blendTime) {
    auto* key = new PointCamera(x, y, z);
    key->blendTime = blendTime;
    pScene->camera()->addChild(key);
}

void GameControllerDuel::showDayTitle() {
    ++day;
    round = 0;
    clearWorld(false);
    for (HudOverlay* hud : pHud) hud->bHidden = 0;
    for (PlayerData* p : playerData) p->createPalms(palmsPerIsland, 0);
    pScene->camera()->setPosition(0.0f, kViewY, kViewZ);
    fadeTo(0.0f);
    announce(formatString(text(StringId::DAYXOFX), day, days), kTitleTime);
    setState(kBetweenRounds, kDayTitleDelay);
}

void GameControllerDuel::setupRound() {
    ++round;
    QOR_LOG("GameControllerDuel::setupRound", u"Day %d, round %d.", day, round);
    clearWorld(true);
    for (int s = 0; s < kSides; ++s) giveVehicle(s);
    announce(text(StringId::STAGETEXT0 + std::clamp(round, 1, kRounds)), kTitleTime);
    setState(kPlaying, kRoundStartDelay);
}

// Everything of the last round goes at once (palms too for a new day); the sides have
// no vehicle until the round's set-up gives them one.
void GameControllerDuel::clearWorld(bool keepPalms) {
    for (int index : {kPalmList, kVehicleList, kPlaneList, kCannonShellList, kBombList, kBulletList, kBonusBalloonList})
        if (index != kPalmList || !keepPalms) layer(index)->deleteChildren();
    for (PlayerData* p : playerData) p->pVehicle = nullptr;
}

void GameControllerDuel::giveVehicle(std::int32_t side) {
    const bool flies = side == 0 ? round != 2 : round != 1;
    const bool human = side < 2 - computerPlayers;
    Vehicle* v = flies ? makePlane(side, human) : makeCannon(side, human);
    v->updateXform();
    layer(flies ? kPlaneList : kVehicleList)->addChild(v);
    playerData[side]->pVehicle = v;
}

Vehicle* GameControllerDuel::makePlane(std::int32_t side, bool human) {
    Plane* plane = nullptr;
    if (human)
        plane = new Plane(side);
    else if (round == kRounds)
        plane = new PlaneAIDogfight(side);
    else
        plane = new PlaneAI(side);
    const auto y = kPlaneLowest + static_cast<float>(Random::next() % kPlaneSpread);
    plane->position = Vector3{kIslandX[side], y, 0.0f};
    if (bPX35) plane->setP35Look();
    if (round == kRounds)
        plane->setWeapon(new WeaponPlaneGun(side));
    else
        plane->setWeapon(new WeaponBombBay(side));
    return plane;
}

Vehicle* GameControllerDuel::makeCannon(std::int32_t side, bool human) {
    Cannon* cannon = human ? new Cannon(side) : new CannonAI(side);
    cannon->position = Vector3{kIslandX[side], 0.0f, 0.0f};
    if (bAutocannons)
        cannon->setWeapon(new WeaponGun(side));
    else
        cannon->setWeapon(new WeaponCannon(side));
    return cannon;
}

void GameControllerDuel::onVehicleDestroyed(std::int32_t) {
    if (state == kRoundSetup || state == kPlaying) setState(kRoundOver, kRoundEndDelay);
}

void GameControllerDuel::onPalmsDestroyed(std::int32_t side) {
    if (round == kRounds || state != kPlaying) return;
    pScene->camera()->addChild(new FollowCamera(1 - side));
    setState(kRoundOver, kRoundEndDelay);
}

void GameControllerDuel::announce(const std::u16string& line, double seconds) { pAnnouncement->show(line, seconds, 0); }

void GameControllerDuel::fadeTo(float target) {
    if (global && global->pContextManager) global->pContextManager->pOverlay->target = target;
}

// ---- per frame ----

void GameControllerDuel::tickGame() { spawnTimedBonus(); }

// Balloons come anywhere in view, but never below the sea's surface line at height 0.
void GameControllerDuel::spawnTimedBonus() {
    if (state != kPlaying || localTime <= nextBonusTime) return;
    nextBonusTime = GameController::nextBonusTime();
    const ViewRect view = pScene->pCamera->getViewRect(0.0f);
    const float bottom = std::max(view.bottom, 0.0f);
    const auto a = static_cast<float>(Random::next()) / 65536.0f;
    const auto b = static_cast<float>(Random::next()) / 65536.0f;
    const float x = view.left + (view.right - view.left) * b;
    const float y = bottom + std::max(view.top - bottom, 0.0f) * a;
    spawnBonusBalloon(x, y, 0.0f, kBalloonValue);
}

// ---- collisions ----

// The cannons take part in no pass: only planes, palms, bombs, shots and balloons meet.
void GameControllerDuel::collide() {
    collideLists(kBombList, kPalmList, Filter::kStandingPalm);
    collideLists(kCannonShellList, kBombList, Filter::kOtherSide);
    collideLists(kBulletList, kBombList, Filter::kOtherSide);
    collideLists(kCannonShellList, kPlaneList, Filter::kOperationalPlane);
    collideLists(kBulletList, kPlaneList, Filter::kOperationalPlane);
    collideLists(kBonusBalloonList, kCannonShellList, Filter::kNone);
    collideLists(kBonusBalloonList, kBombList, Filter::kNone);
    collideLists(kBonusBalloonList, kBulletList, Filter::kNone);
}

void GameControllerDuel::collideLists(int first, int second, Filter filter) {
    // The partners are gathered once per pair: a hit never adds to the second list
    // within the pass; one that is flagged for deletion is passed over.
    std::vector<GameEntity*> partners;
    for (BasicLink* c = layer(second)->firstChild; c; c = c->next)
        if (auto* b = dynamic_cast<GameEntity*>(static_cast<QorBase*>(c))) partners.push_back(b);
    for (ChildIterator it(layer(first), ChildIterator::kDestroyPending); !it.done; it.next()) {
        auto* a = dynamic_cast<GameEntity*>(static_cast<QorBase*>(it.current));
        if (!a) continue;
        for (GameEntity* b : partners) {
            if (b->pendingDelete) continue;
            if (filter != Filter::kNone && b->side == a->side) continue;
            if (filter == Filter::kStandingPalm && b->state != Palm::kStanding) continue;
            if (filter == Filter::kOperationalPlane && !static_cast<Vehicle*>(b)->isOperational()) continue;
            if (!a->collide(b)) continue;
            a->onCollision(b);
            b->onCollision(a);
            break;
        }
    }
}

// ---- the end ----

void GameControllerDuel::endGame() {
    GameController::endGame();
    closeForResults();
}

// The winner is the side with more points (side 0 on a tie). Beating the computer is
// worth more the better it plays; a win against a friend at most half a rating.
void GameControllerDuel::computeRating() {
    const std::int32_t s0 = playerData[0]->getScore();
    const std::int32_t s1 = playerData[1]->getScore();
    const std::int32_t w = s1 > s0 ? 1 : 0;
    const std::int32_t l = 1 - w;
    const float winnerScore = static_cast<float>(playerData[w]->getScore());
    const float loserScore = static_cast<float>(playerData[l]->getScore());
    float rating = 0.0f;
    if (winnerScore > 0.0f) {
        const bool computerLost = !playerData[l]->bHuman;
        const float hi = computerLost ? 0.5f * aiSkill : 0.0f;
        const float r = 1.0f + (hi - 1.0f) * std::clamp(loserScore / winnerScore, 0.0f, 1.0f);
        rating = computerLost && !bRatingHalved ? r * (aiSkill * 0.8f + 0.2f) : r * 0.5f;
    }
    winnerSide = w;
    playerData[w]->rating = rating;
    playerData[l]->rating = 0.0f;
}

// ---- saving ----

void GameControllerDuel::saveToProfile() {
    if (std::optional<SavedGame> block = profileBlock()) savegame(*block);
    saveProfilesToDisk();
}

void GameControllerDuel::invalidateSave() {
    if (std::optional<SavedGame> block = profileBlock()) block->setValidData(false);
    saveProfilesToDisk();
}

void GameControllerDuel::savegame(const SavedGame& block) {
    GameController::savegame(block);
    const SaveBytes& b = block.bytes;
    b.putS32(SavedGame::kDay, day);
    b.putS32(SavedGame::kRound, round);
    b.putS32(SavedGame::kDays, days);
    b.putF64(SavedGame::kNextBonusTime, nextBonusTime);
}

void GameControllerDuel::savePalms() {}

bool GameControllerDuel::loadgame(const SavedGame& block) {
    if (!GameController::loadgame(block)) return false;
    const SaveBytes& b = block.bytes;
    days = std::clamp(b.getS32(SavedGame::kDays), 1, SavedGame::kMaxDuelDays);
    day = std::clamp(b.getS32(SavedGame::kDay), 1, days);
    round = std::clamp(b.getS32(SavedGame::kRound), 0, kRounds - 1);
    nextBonusTime = b.getF64(SavedGame::kNextBonusTime);
    applyFixedRules();
    scoreTable = bTutorial ? kNoScoreTable : kScoreTable;
    // Who is a person follows the war's opponent, whatever the player records say.
    playerData[0]->bHuman = 1;
    playerData[1]->bHuman = computerPlayers == 0 ? 1 : 0;
    return true;
}
