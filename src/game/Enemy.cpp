#include "game/Enemy.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "engine/VirtualScreen.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "render/Camera.h"
#include "render/Skin.h"
#include "ui/ContextBlender.h"

// No factory: an enemy needs the game's pictures, which only a loaded game has.
QOR_DEFINE_CLASS(Enemy, Renderable, nullptr)

Enemy::Enemy() : GameEntity(-1) {}

ClassInfo* Enemy::getClass() const { return &classInfo; }

void Enemy::enter() {}

void Enemy::integrate(double dt) {
    GameEntity::integrate(dt);
    // A position that is no longer a number never leaves the view: end it here.
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z)) pendingDelete = 1;
}

Palm* Enemy::pickTarget() {
    GameController* game = GameFx::currentGame();
    PlayerData* defender = game ? game->getPlayerData(0) : nullptr;
    return defender ? defender->pickRandomPalm() : nullptr;
}

Vector3 Enemy::defendingIsland() {
    const GameController* game = GameFx::currentGame();
    const PlayerData* defender = game ? game->getPlayerData(0) : nullptr;
    return defender && defender->pIsland ? defender->pIsland->position : Vector3{0.0f, 0.0f, 0.0f};
}

float Enemy::sceneCameraX() {
    const GameController* game = GameFx::currentGame();
    return game && game->pScene ? game->pScene->pCamera->position.x : 0.0f;
}

namespace {
constexpr float kSideThreshold = 16.0f;  // camera x beyond which it looks off to one side
constexpr float kLowestEntry = 64.0f;    // virtual pixels above the water line
constexpr float kTopMargin = 32.0f;      // virtual pixels below the top of the view

// The frame of entry points of one enemy under the current scene camera.
struct EntryFrame {
    ViewRect view;
    float yMin, yMax;     // heights at which it may come in from a side
    float xLeft, xRight;  // just outside the view
    float yAbove;         // just above the view
    float waterTop;       // the water line, or the bottom of the view above it
    int cameraSide;       // -1, 0 or +1: where the camera looks

    float randomHeight() const { return yMin + Random::fraction() * (yMax - yMin); }
    float randomX() const { return view.left + Random::fraction() * (view.right - view.left); }
};

EntryFrame entryFrame(const Camera& camera, const Skin* skin) {
    EntryFrame f{};
    const Vector3& c = camera.position;
    f.view = camera.getViewRect(0.0f);
    const float unit = -c.z / (static_cast<float>(kVirtualScreenWidth) * 0.5f);
    const float w = skin ? skin->width : 0.0f;
    const float h = skin ? skin->height : 0.0f;
    f.yMin = std::max(kLowestEntry * unit + GameEntity::kWaterLine, f.view.bottom);
    f.yMax = f.view.top - kTopMargin * unit;
    f.xLeft = f.view.left - w;
    f.xRight = f.view.right + w;
    f.yAbove = f.view.top + h;
    f.waterTop = std::max(GameEntity::kWaterLine, f.view.bottom);
    f.cameraSide = std::fabs(c.x) < kSideThreshold ? 0 : (c.x < 0.0f ? -1 : 1);
    return f;
}

Vector3 fromSide(const EntryFrame& f) {
    int side = f.cameraSide;
    if (side == 0) side = (Random::next() & 1u) ? 1 : -1;
    const float y = f.randomHeight();
    return Vector3{side < 0 ? f.xLeft : f.xRight, y, 0.0f};
}

Vector3 fromAround(const EntryFrame& f) {
    const float sideLength = f.yAbove - f.waterTop;
    const float left = f.cameraSide == 1 ? 0.0f : sideLength;
    const float top = f.xRight - f.xLeft;
    const float right = f.cameraSide == -1 ? 0.0f : sideLength;
    const float p = Random::fraction() * (left + top + right);
    if (p < left) return Vector3{f.xLeft, f.randomHeight(), 0.0f};
    if (p < left + top) return Vector3{f.randomX(), f.yAbove, 0.0f};
    return Vector3{f.xRight, f.randomHeight(), 0.0f};
}
}  // namespace

Vector3 enemyEntryPoint(const Enemy& enemy, int mode) {
    GameController* game = GameFx::currentGame();
    if (!game || !game->pScene || !game->pScene->pCamera) return Vector3{0.0f, 0.0f, 0.0f};
    const EntryFrame f = entryFrame(*game->pScene->pCamera, enemy.pSkin);
    switch (mode) {
        case Enemy::kEntryLeft:
            return Vector3{f.xLeft, f.randomHeight(), 0.0f};
        case Enemy::kEntryRight:
            return Vector3{f.xRight, f.randomHeight(), 0.0f};
        case Enemy::kEntrySide:
            return fromSide(f);
        case Enemy::kEntryAround:
            return fromAround(f);
        case Enemy::kEntryTop:
            return Vector3{f.randomX(), f.yAbove, 0.0f};
        case Enemy::kEntryWaterLine:
            return Vector3{f.randomX(), GameEntity::kWaterLine, 0.0f};
        default:
            return Vector3{0.0f, 0.0f, 0.0f};
    }
}
