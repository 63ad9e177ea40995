#include "game/GameControllerIntro.h"

#include <cmath>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/VirtualScreen.h"
#include "game/AnnouncementText.h"
#include "game/Bomb.h"
#include "game/Cannon.h"
#include "game/GameFx.h"
#include "game/GameGlobal.h"
#include "game/HudOverlay.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/Renderable.h"
#include "render/Skin.h"
#include "render/Texture.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/IrisOverlay.h"
#include "ui/PointCamera.h"

namespace {
constexpr int kPalms = 1;
constexpr std::uint8_t kOwnDefence = 0;
constexpr std::int32_t kStoryTag = 0;

Skin* findSkin(const char16_t* name) { return static_cast<Skin*>(qor->resources().find(true, name)); }
}  // namespace

const GameControllerIntro::TimelineCue GameControllerIntro::kTimeline[] = {
    {kGlideStart, Cue::kGlide, 0, 0.0},
    {10.0, Cue::kStoryLine, StringId::INTRO1, 3.0},  // "deep in the south pacific..."
    {13.0, Cue::kStoryLine, StringId::INTRO2, 3.0},  // "everything is peaceful"
    {16.0, Cue::kStoryLine, StringId::INTRO3, 3.0},  // "until..."
    {kBombTime, Cue::kBomb, 0, 0.0},
    {23.0, Cue::kStoryLine, StringId::INTRO4, 2.0},  // "uh-oh!"
    {25.0, Cue::kStoryLine, StringId::INTRO5, 3.0},  // "this means war!"
    {kFadeOutStart, Cue::kFadeOut, 0, 0.0},
    {kEnd, Cue::kEnd, 0, 0.0},
};

GameControllerIntro::GameControllerIntro() {
    bCloseOnEscape = 1;
    bCloseOnFireKey = 1;
    bConfirmClose = 0;
    playerSides = 1;
    bLimitBombRange = 0;
    // The intro is the same scene every time, whatever rules the player chose.
    bMatrixFight = bBerserk = bNoBlaster = bBloatedProjectiles = bBouncyBombs = bAutocannons = bPX35 = 0;
    speed = 1.0;
    pScene->timeScale = speed;
    pLogo = new Renderable();
    pLogo->pSkin = findSkin(u"logo:all");
    pLogo->color &= 0x00FFFFFFu;
    pLogo->updateXform();
    pOverlay->addChild(pLogo);
}

void GameControllerIntro::onActivate(bool first) {
    // The game objects find their game through the application, not through their parents.
    if (auto* app = dynamic_cast<GameGlobal*>(global)) app->pCurrentGame = this;
    // A covered intro that comes back on top keeps the world it has.
    (void)first;
    if (bWorldBuilt) return;
    bWorldBuilt = 1;
    buildWorld();
}

// Order matters: the palm places itself on its side's island, and the cannons take
// their colour from their side's data.
void GameControllerIntro::buildWorld() {
    addIsland();
    playerData[0]->createPalms(kPalms, kOwnDefence);
    for (std::int32_t side = 0; side < kSides; ++side) addHiddenCannon(side);
    pScene->camera()->setPosition(kHighX, kHighY, kHighZ);
    setScreenFade(true, true);
}

// The island picture's top edge lies at kIslandTop, whatever the picture's size.
void GameControllerIntro::addIsland() {
    const auto* texture = static_cast<Texture*>(qor->resources().find(true, u"island"));
    const float height = texture->skins.empty() ? 0.0f : texture->skins[0]->height;
    auto* island = new Renderable();
    island->pSkin = findSkin(u"island:all");
    island->setPosition(0.0f, kIslandTop - 0.5f * height, 0.0f);
    layer(kIslandList)->addChild(island);
    playerData[0]->pIsland = island;
}

// Each side has a vehicle, as the palms and bombs expect, but far out of view and
// unarmed: nothing steers or fires it.
void GameControllerIntro::addHiddenCannon(std::int32_t side) {
    auto* cannon = new Cannon(side);
    cannon->setPosition(kHiddenX, 0.0f, 0.0f);
    cannon->bControlsEnabled = 0;
    cannon->setWeapon(nullptr);
    layer(kVehicleList)->addChild(cannon);
    playerData[side]->pVehicle = cannon;
    // The hidden cannons must not be pointed at by the displays' off-screen arrows.
    if (pHud[side]) pHud[side]->bShowOffscreenArrow = 0;
}

void GameControllerIntro::onDeactivate(bool closing) {
    GameController::onDeactivate(closing);
    // Set directly: the system cursor stays where it is. A mouse, though, keeps the
    // pointer under its cursor; the next screen's first frame would draw it here.
    QorInput& in = qor->input();
    if (closing && in.inputMode != QorInput::kModeMouse)
        in.pointerPosition = Vector3{kPointerAfterX, kPointerAfterY, 0.0f};
}

void GameControllerIntro::tickGame() {
    updateLogo();
    for (const TimelineCue& cue : kTimeline)
        if (reaches(cue.time)) run(cue);
}

// The alpha is truncated to whole steps; once faded out, the logo is hidden for good.
void GameControllerIntro::updateLogo() {
    const double t = localTime;
    if (t > kLogoGone) {
        pLogo->color &= 0x00FFFFFFu;
        pLogo->bHidden = 1;
        return;
    }
    double alpha = 0.0;
    if (t > kLogoFadeOutStart)
        alpha = 255.0 * (kLogoGone - t);
    else if (t > kLogoFadeInStart)
        alpha = t >= kLogoFadeInStart + 1.0 ? 255.0 : 255.0 * (t - kLogoFadeInStart);
    else
        return;
    pLogo->color = (pLogo->color & 0x00FFFFFFu) | static_cast<UColor>(static_cast<int>(alpha)) << 24;
}

void GameControllerIntro::run(const TimelineCue& cue) {
    switch (cue.cue) {
        case Cue::kGlide:
            startGlide();
            break;
        case Cue::kStoryLine:
            pAnnouncement->show(qor->language().getString(cue.text), cue.showFor, kStoryTag);
            break;
        case Cue::kBomb:
            dropBomb();
            break;
        case Cue::kFadeOut:
            setScreenFade(true, false);
            break;
        case Cue::kEnd:
            bFinished = 1;
            break;
    }
}

// From high above down to the island.
void GameControllerIntro::startGlide() {
    auto* key = new PointCamera(kLowX, kLowY, kLowZ);
    key->blendTime = kGlideTime;
    pScene->camera()->addChild(key);
}

// Contract: side 0's palm (a random standing one; the first when none stands) is the
// target. The bomb starts one screen height above the palm's centre and as far to the
// left as it travels while falling that height under its own gravity, so it comes down
// onto the palm. No palm at all: no bomb.
void GameControllerIntro::dropBomb() {
    Palm* target = playerData[0]->pickRandomPalm();
    if (!target) return;
    const Vector3 p = target->boundsCentre;
    const auto height = static_cast<float>(kVirtualScreenHeight);
    const float fallTime = std::sqrt(2.0f * height / -Bomb::kGravity);
    const Vector3 start{p.x - kBombSpeed * fallTime, p.y + height, 0.0f};
    layer(kBombList)->addChild(new Bomb(1, start.x, start.y, start.z, kBombSpeed, 0.0f, 0.0f));
    GameFx::playAt(u"bombWhistle", start);
}

// The screen stack's iris: black (closed) or open, at once or at its own pace.
void GameControllerIntro::setScreenFade(bool black, bool immediately) {
    if (!global || !global->pContextManager) return;
    IrisOverlay* iris = global->pContextManager->pOverlay;
    iris->target = black ? 1.0f : 0.0f;
    if (immediately) iris->level = iris->target;
}

// Contract: every live bomb against the palm list in order; a standing palm that it
// touches takes the bomb's contact damage and deals its own to the bomb (which
// explodes), and the bomb goes on to the next frame.
void GameControllerIntro::collide() {
    for (BasicLink* b = layer(kBombList)->firstChild; b; b = b->next) {
        auto* bomb = dynamic_cast<GameEntity*>(b);
        if (!bomb || bomb->pendingDelete) continue;
        for (BasicLink* p = layer(kPalmList)->firstChild; p; p = p->next) {
            auto* palm = dynamic_cast<Palm*>(p);
            if (!palm || palm->pendingDelete || !palm->isStanding() || !bomb->collide(palm)) continue;
            bomb->onCollision(palm);
            palm->onCollision(bomb);
            break;
        }
    }
}
