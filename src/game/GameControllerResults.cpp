#include "game/GameControllerResults.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "engine/VirtualScreen.h"
#include "game/AnnouncementText.h"
#include "game/Cannon.h"
#include "game/Firework.h"
#include "game/GameFx.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/PlayerData.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundChannel.h"
#include "inputaudio/SoundStream.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "platform/AudioSystem.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextManager.h"
#include "ui/FadingText.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuFonts.h"
#include "ui/PointCamera.h"
#include "ui/ScreenStack.h"
#include "ui/TextPanel.h"

QOR_DEFINE_CLASS(GameControllerResults, GameController, (&makeInstance<GameControllerResults, BasicLink>))

ClassInfo* GameControllerResults::getClass() const { return &classInfo; }

namespace {
constexpr int kLeftMiddle = 4;  // skin anchor: the bar grows from its left end
constexpr std::size_t kNameKept = 14;
constexpr int kContinueLayout = 0x24;
constexpr int kTipLayout = 5;

GameGlobal* gameGlobal() { return dynamic_cast<GameGlobal*>(global); }

std::u16string text(int id) { return qor->language().getString(id); }

Texture* progressBarTexture() { return static_cast<Texture*>(qor->resources().find(true, u"gui-game-progressBar")); }

// A skin the texture must have: a missing one is a broken data archive.
Skin* textureSkin(Texture* texture, std::size_t index) {
    QOR_ASSERT("GameControllerResults::textureSkin", index < texture->skins.size());
    return texture->skins[index];
}

FadingText* label(float x, float y, const std::u16string& s, int font, UColor colour = 0xFFFFFFFFu) {
    return new FadingText(x, y, 0.0f, s, MenuFonts::get(font), colour);
}

double uniform() { return static_cast<double>(Random::next()) / 65536.0; }
}  // namespace

GameControllerResults::GameControllerResults() : pFinishedGame(this) {
    setPlayerColours();
    bCloseOnEscape = 1;
    bShowPointer = 0;
    // What belongs to play stays off the show: the displays stay out of view, and no
    // marker points at a cannon the camera has left behind.
    for (HudOverlay* hud : pHud) hud->bShowOffscreenArrow = 0;
    pTextLayer = new QorBase();
    pOverlay->addChild(pTextLayer);
}

GameControllerResults::~GameControllerResults() { stopDrumroll(); }

const GameController& GameControllerResults::finished() const {
    const auto* game = dynamic_cast<const GameController*>(pFinishedGame.get());
    return game ? *game : *this;
}

std::int32_t GameControllerResults::sides() const { return std::clamp(finished().playerSides, 1, kSides); }

std::int32_t GameControllerResults::winner() const { return std::clamp(finished().winnerSide, 0, sides() - 1); }

std::int32_t GameControllerResults::palms() const {
    return std::clamp(finished().palmsPerIsland, 0, PlayerData::MAXPALM);
}

std::int32_t GameControllerResults::table() const {
    const std::int32_t t = finished().scoreTable;
    return t >= 0 && t < kNoScoreTable ? t : kNoScoreTable;
}

float GameControllerResults::winnerRating() const {
    const float r = finished().playerData[winner()]->rating;
    return std::isnan(r) ? 0.0f : std::clamp(r, 0.0f, 1.0f);
}

std::int32_t GameControllerResults::scoreForRating(float rating) {
    if (std::isnan(rating)) return 0;
    return static_cast<std::int32_t>(std::clamp(rating, 0.0f, 1.0f) * static_cast<float>(kScoreScale));
}

std::u16string GameControllerResults::entryName(const std::u16string& profileName, std::int32_t winnerSide) {
    if (winnerSide != 1) return profileName;
    std::u16string name = profileName.substr(0, kNameKept);
    // Half a surrogate pair is no character: it goes with its other half.
    if (name.size() == kNameKept && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    return name + u"-2";
}

UColor GameControllerResults::fireworkColour(std::uint32_t draw) {
    const std::uint32_t k = 1 + draw % 6;
    const auto channel = [k](std::uint32_t bit) -> std::uint32_t { return (k >> bit & 1) ? 0xFF : 0x80; };
    return 0xFF000000u | channel(0) << 16 | channel(1) << 8 | channel(2);
}

double GameControllerResults::barFraction(double timeInState) { return (timeInState - kBarPause) * kBarSpeed; }

void GameControllerResults::onActivate(bool first) {
    GameController::onActivate(first);
    if (state != 0) return;
    GameGlobal* app = gameGlobal();
    if (app) {
        pFinishedGame.set(app->pCurrentGame != this ? app->pCurrentGame : nullptr);
        app->pCurrentGame = this;
    }
    setState(1);
}

void GameControllerResults::onDeactivate(bool closing) {
    GameController::onDeactivate(closing);
    if (!closing) return;
    stopDrumroll();
    enterHighScore();
    const std::int32_t t = table();
    if (GameGlobal* app = gameGlobal()) app->pCurrentGame = dynamic_cast<GameController*>(pFinishedGame.get());
    if (t != kNoScoreTable) ScreenStack::push(new ContextHighScores(t));
}

void GameControllerResults::onStateChanged() { enterState(state); }

void GameControllerResults::enterState(std::int32_t s) {
    switch (s) {
        case 1:
            startShow();
            break;
        case 2:
            announceWinner();
            break;
        case 3:
            startDrumroll();
            break;
        case 4:
            showRating();
            break;
        case 5:
            showPlace();
            break;
        case 6:
            showTip();
            break;
        case 7:
            bFinished = 1;
            break;
        default:
            break;
    }
}

void GameControllerResults::startShow() {
    buildScene();
    pScene->camera()->setPosition(0.0f, 405.0f, -960.0f);
    addKeyPoint(0.0f, 270.0f, -640.0f);
    if (pAnnouncement) pAnnouncement->show(text(StringId::CEASEFIRE), kAnnouncement, 0);
    nextFireworkTime = localTime + kFirstFirework;
    // The game music starts over: the finished game stopped every stream.
    if (qor->pQorAudio) qor->audio().setMusic(dynamic_cast<SoundStream*>(qor->resources().find(true, u"musicGame")));
    setState(2, kStateDelay);
}

void GameControllerResults::announceWinner() {
    if (pAnnouncement) pAnnouncement->show(text(StringId::ANDTHEWINNERIS), kAnnouncement, 0);
    addKeyPoint(winnerIslandX(), 135.0f, -320.0f);
    setState(3, kStateDelay);
}

void GameControllerResults::startDrumroll() {
    pTextLayer->addChild(label(0.0f, 50.0f, text(StringId::YOURFINALRATINGIS), MenuFonts::kMedium));
    Texture* texture = progressBarTexture();
    auto* frame = new Renderable();
    frame->pSkin = textureSkin(texture, 0);
    frame->setPosition(0.0f, 0.0f, 0.0f);
    pTextLayer->addChild(frame);
    pBar = new Quad();
    pBar->pTexture = texture;
    pBarHolder = new Renderable();
    pBarHolder->pSkin = pBar;
    pBarHolder->bOwnsSkin = 1;
    pBarHolder->setPosition(kBarHolderX, 0.0f, 0.0f);
    showBar(0.0f);
    pTextLayer->addChild(pBarHolder);
    stopDrumroll();
    pDrumroll = new SoundChannel(GameFx::findSound(u"drumroll"));
    pDrumroll->play();
}

void GameControllerResults::showRating() {
    GameFx::findSound(u"cymbal")->play();
    stopDrumroll();
    // The rating as the high-score table will show it: its score, in thousandths of a
    // percent, cut rather than rounded.
    const std::int32_t score = scoreForRating(winnerRating());
    pTextLayer->addChild(label(0.0f, 19.0f, formatPercent(static_cast<float>(score) / static_cast<float>(kScoreScale)),
                               MenuFonts::kLarge));
    enterHighScore();
    setState(highScorePlace >= 0 ? 5 : 6, kStateDelay);
}

void GameControllerResults::showPlace() {
    const int place = std::clamp(highScorePlace, 0, GameConfiguration::kEntries - 1);
    pTextLayer->addChild(
        label(0.0f, 150.0f, formatString(u"%s!", text(StringId::RANKING1 + place)), MenuFonts::kLarge));
    addContinueText(kPlaceContinueDelay);
}

void GameControllerResults::showTip() {
    // The bar and the texts go with the next traversal; nothing points at them after.
    for (BasicLink* c = pTextLayer->firstChild; c; c = c->next) static_cast<QorBase*>(c)->pendingDelete = 1;
    pBarHolder = nullptr;
    pBar = nullptr;
    addContinueText(kTipContinueDelay);
    if (const std::int32_t t = table(); t != kNoScoreTable) {
        const int quarterHeight = kVirtualScreenHeight / 4;  // whole units
        FadingText tip(0.0f, static_cast<float>(quarterHeight), 0.0f, text(StringId::IOS_RATINGTIPCLASSICWAR + t),
                       MenuFonts::get(MenuFonts::kSmall), 0xFFFFFFFFu);
        tip.bShadow = 0;
        tip.fadeIn = 1.0;
        tip.layoutFlags = kTipLayout;
        pTextLayer->addChild(new TextPanel(tip, static_cast<float>(kVirtualScreenWidth)));
    }
    addKeyPoint(winnerIslandX(), 270.0f, -640.0f);
}

// Each side's island (one in the middle, or two 1000 units apart) with its palms and an
// unarmed cannon; this screen is the current game, so the palms join its palm list. The
// cannon stands on the island's deck as in every game (its picture ends kIslandTop above
// the deck), not down at the picture's centre, where it stood in front of the beach and
// under the prompt at the screen's bottom.
void GameControllerResults::buildScene() {
    auto* islandTexture = static_cast<Texture*>(qor->resources().find(true, u"island"));
    const float h = textureSkin(islandTexture, 0)->height;
    const std::int32_t n = sides();
    for (std::int32_t s = 0; s < n; ++s) {
        const float d = s == 0 ? -1.0f : 1.0f;
        auto* island = new Renderable();
        island->pSkin = textureSkin(islandTexture, 2);
        island->setPosition(d * (500.0f * static_cast<float>(n) - 500.0f), kIslandTop - h / 2.0f, 0.0f);
        layers[kIslandList]->addChild(island);
        PlayerData* player = playerData[s];
        player->pIsland = island;
        player->createPalms(palms(), 0);
        auto* cannon = new Cannon(s);
        cannon->setPosition(island->position.x, island->position.y + h / 2.0f - kIslandTop, island->position.z);
        // On show only: it neither aims nor fires.
        cannon->bControlsEnabled = 0;
        cannon->setWeapon(nullptr);
        layers[kVehicleList]->addChild(cannon);
        player->pVehicle = cannon;
    }
}

void GameControllerResults::enterHighScore() {
    if (bScoreEntered) return;
    bScoreEntered = 1;
    // The table opened next highlights the row this game entered, or none: a place left
    // from an earlier game belongs to that game's table.
    if (global) global->lastHighScorePlace = -1;
    const GameController& game = finished();
    const std::int32_t t = table();
    if (t == kNoScoreTable || !game.playerData[winner()]->bHuman || !global) return;
    const ProfileManager& profiles = global->profiles;
    const std::u16string name = entryName(profiles.getProfileName(profiles.current), winner());
    highScorePlace = global->configuration.insertScore(t, scoreForRating(winnerRating()), !game.bScoreFlag, name);
    global->lastHighScorePlace = highScorePlace;
}

void GameControllerResults::stopDrumroll() {
    if (!pDrumroll) return;
    QorAudio::library().channelStop(pDrumroll->channel);
    pDrumroll->destroy();
    pDrumroll = nullptr;
}

void GameControllerResults::tickGame() {
    if (localTime > nextFireworkTime && state >= 1) launchFirework();
    if (state == 3) {
        const double f = barFraction(timeInState);
        if (f > 0.0) {
            if (static_cast<double>(winnerRating()) < f)
                setState(4);
            else
                showBar(static_cast<float>(std::min(f, 1.0)));
        }
    } else if (state == 5) {
        if (continuePressed()) setState(6);
    } else if (state == 6) {
        if (continuePressed()) {
            if (global && global->pContextManager) global->pContextManager->pOverlay->target = 1.0f;
            setState(7, kIrisClose);
        }
    }
}

// One rocket from the winner's island, then the wait for the next: short within a
// salvo, longer between salvos, whose size grows with the detail level.
void GameControllerResults::launchFirework() {
    const PlayerData* player = playerData[winner()];
    if (!player->pIsland) return;
    Vector3 at = player->pIsland->position;
    at.y += kFireworkRise;
    const UColor colour = fireworkColour(Random::next());
    const std::uint32_t up = Random::next();
    const std::uint32_t across = Random::next();
    const Vector3 velocity{static_cast<float>(across % 512) - 256.0f, static_cast<float>(up % 384) + 128.0f, 0.0f};
    layers[kEffectList]->addChild(new Firework(at, velocity, colour, 1.0, 2.0));
    GameFx::playAt(u"fireworkLaunch", at);
    if (--fireworksLeft <= 0) {
        const auto salvo = static_cast<std::uint32_t>(7 * (GameFx::detailLevel() + 1));
        fireworksLeft = 1 + static_cast<std::int32_t>(Random::next() % salvo);
        nextFireworkTime = localTime + 2.0 + 2.0 * uniform();
    } else {
        nextFireworkTime = localTime + 0.1 + 0.25 * uniform();
    }
}

// The fill is the texture's second skin cut at `fraction` of its width from the left.
void GameControllerResults::showBar(float fraction) {
    if (!pBar) return;
    const auto* fill = static_cast<const Quad*>(textureSkin(pBar->pTexture, 1));
    const auto& uv = fill->uvRect;
    pBar->uvRect = {uv[0], uv[1], uv[0] + (uv[2] - uv[0]) * fraction, uv[3]};
    pBar->refresh();
    pBar->setAnchor(kLeftMiddle);
    pBarHolder->updateXform();
}

void GameControllerResults::addKeyPoint(float x, float y, float z) {
    auto* point = new PointCamera(x, y, z);
    point->blendTime = kCameraGlide;
    pScene->camera()->addChild(point);
}

void GameControllerResults::addContinueText(double delay) {
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    const int id = touch ? StringId::IOS_PRESSXKEYTOCONTINUE : StringId::CLICKTOCONTINUE;
    const int halfHeight = kVirtualScreenHeight / 2;  // whole units
    FadingText* t = label(0.0f, static_cast<float>(20 - halfHeight), text(id), MenuFonts::kSmall, kContinueColour);
    t->layoutFlags = kContinueLayout;
    t->delay = delay;
    pTextLayer->addChild(t);
}

bool GameControllerResults::continuePressed() const {
    const QorInput& in = qor->input();
    if (in.anyTouchPressed()) return true;
    if (!global) return false;
    const auto& fire = global->configuration.keys[GameConfiguration::kKeyFire];
    return in.wasPressed(fire[0]) || in.wasPressed(fire[1]);
}

float GameControllerResults::winnerIslandX() const {
    const PlayerData* player = playerData[winner()];
    return player->pIsland ? player->pIsland->position.x : 0.0f;
}
