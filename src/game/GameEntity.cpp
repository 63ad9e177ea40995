#include "game/GameEntity.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"
#include "render/Camera.h"
#include "render/Context.h"

GameEntity::GameEntity(std::int32_t side_) : side(side_) {}

void GameEntity::tick(double, double dt) { integrate(dt); }

PlayerData* GameEntity::ownPlayer() const {
    auto* app = dynamic_cast<GameGlobal*>(global);
    if (side < 0 || !app || !app->pCurrentGame) return nullptr;
    return app->pCurrentGame->getPlayerData(side);
}

float GameEntity::takeDamage(GameEntity* source, float amount) {
    if (amount == 0.0f) return 0.0f;
    float d = amount;
    const PlayerData* own = ownPlayer();
    if (own && own->hasVehicle()) {
        if (bSharedDefence) {
            GameController* game = static_cast<GameGlobal*>(global)->pCurrentGame;
            for (int s = 0; s < GameController::kSides; ++s) {
                const PlayerData* p = game->getPlayerData(s);
                if (p && p->hasVehicle()) d *= p->vehicleDefenceFactor();
            }
        } else {
            d = own->vehicleDefenceFactor() * amount;
        }
    }
    if (d > health) d = health;
    health -= d;
    onHit(source, d);
    if (d > 0.0f && health <= 0.0f) destroy(source);
    return d;
}

float GameEntity::dealDamage(GameEntity* target, float amount) {
    if (amount == 0.0f) return 0.0f;
    float d = static_cast<float>(static_cast<double>(amount) * 1.01);
    const PlayerData* own = ownPlayer();
    if (own && own->hasVehicle()) d = own->vehicleAttackFactor() * d;
    const float taken = target->takeDamage(this, d);
    addScore(target, taken);
    return taken;
}

void GameEntity::destroy(GameEntity*) { pendingDelete = 1; }

void GameEntity::onHit(GameEntity*, float) {}

void GameEntity::addScore(GameEntity* target, float amount) {
    PlayerData* own = ownPlayer();
    if (!own) return;
    const float points = amount / target->maxHealth * static_cast<float>(target->scoreValue) + 0.5f;
    // A target without health to take gives no sound fraction of its points.
    if (!std::isfinite(points)) return;
    constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
    own->addMaskedScore(static_cast<std::int32_t>(std::clamp(points, -kLimit, kLimit)));
}

void GameEntity::onCollision(GameEntity* other) { dealDamage(other, contactDamage); }

void GameEntity::onWaterContact() {}

void GameEntity::integrate(double step) {
    const float dt = static_cast<float>(step);
    const float oldY = position.y;
    velocity = velocity + acceleration * dt;
    position = position + velocity * dt;
    updateXform();
    if (bOrientAlongVelocity) {
        heading = std::atan2(velocity.y, velocity.x);
        rotation.z = heading;
        updateXform();
    }
    if (oldY >= kWaterLine && position.y < kWaterLine) onWaterContact();
    if (bRemoveOffscreen && !bVisible && leavesView()) pendingDelete = 1;
}

bool GameEntity::leavesView() const {
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) return false;
    const ViewRect r = context->pCamera->getViewRect(0.0f);
    return (position.x < r.left && velocity.x < 0.0f) || (position.x > r.right && velocity.x > 0.0f) ||
           (position.y < r.bottom && velocity.y < 0.0f) || (position.y > r.top && velocity.y > 0.0f);
}

float GameEntity::timeToHeight(float h) const {
    const float disc = velocity.y * velocity.y - (position.y - h) * 2.0f * acceleration.y;
    if (disc <= 0.0f || acceleration.y == 0.0f) return 0.0f;
    return (-velocity.y - std::sqrt(disc)) / acceleration.y;
}

bool GameEntity::findRayHit(QorBase* layer, Renderable*& nearest, float& bestDistanceSquared) const {
    if (!layer) return false;
    const float nx = -std::sin(heading);
    const float ny = std::cos(heading);
    bool found = false;
    for (BasicLink* l = layer->firstChild; l; l = l->next) {
        auto* r = dynamic_cast<Renderable*>(l);
        if (!r || r == this || r->pendingDelete) continue;
        const Vector3 d = r->boundsCentre - position;
        const float across = std::fabs(d.x * nx + d.y * ny);
        const float distanceSquared = d.x * d.x + d.y * d.y + d.z * d.z;
        if (across < r->boundsRadius * r->collisionSensitivity && distanceSquared < bestDistanceSquared) {
            nearest = r;
            bestDistanceSquared = distanceSquared;
            found = true;
        }
    }
    return found;
}

namespace {
constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = std::numbers::pi_v<float>;

float normalise(float angle) {
    float a = std::fmod(angle, kTwoPi);
    if (angle < 0.0f) a += kTwoPi;
    return a;
}
}  // namespace

float wrapAngle(float from, float to) {
    const float f = normalise(from);
    const float t = normalise(to);
    if (t > f) {
        const float d = t - f;
        return d < kPi ? d : d - kTwoPi;
    }
    if (t < f) return f - t < kPi ? t - f : t - f + kTwoPi;
    return 0.0f;
}

std::int32_t wrapAngleSign(float from, float to) {
    const float turn = wrapAngle(from, to);
    return turn > 0.0f ? 1 : (turn < 0.0f ? -1 : 0);
}
