#include "game/Vehicle.h"

#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "game/Weapon.h"
#include "inputaudio/QorInput.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "ui/Global.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2.0f * kPi;

// Down now (bit 7 of the current state byte); codes outside the input range read as up.
bool keyHeld(const QorInput& in, int code) {
    return code >= 0 && code < QorInput::kInputCodeCount && (in.keyState[code] & QorInput::kDown);
}

bool keyPressed(const QorInput& in, int code) {
    return code >= 0 && code < QorInput::kInputCodeCount && in.wasPressed(code);
}

int boundKey(int row, int column) { return global ? global->configuration.keys[row][column] : 0; }
}  // namespace

Vehicle::Vehicle(std::int32_t side_) : GameEntity(side_) {
    health = maxHealth = fullHealth;
    if (const GameController* game = GameFx::currentGame())
        for (int i = 0; i < 3; ++i) vehicleFactors[i] = game->vehicleFactors[i];
}

Vehicle::~Vehicle() { setWeapon(nullptr); }

void Vehicle::setWeapon(Weapon* newWeapon) {
    if (weapon == newWeapon) return;
    if (weapon) weapon->destroy();
    weapon = newWeapon;
}

bool Vehicle::isOperational() { return true; }

void Vehicle::drawIcon(float, float, float) {}

void Vehicle::tick(double, double dt) {
    energy += energyRecharge * static_cast<float>(dt) * kRechargeRate;
    if (energy > energyCap) energy = energyCap;
    switchSteering();
}

std::int32_t Vehicle::keyColumn() const {
    const GameController* game = GameFx::currentGame();
    const bool twoPeople = game && game->playerSides - game->computerPlayers == 2;
    const std::int32_t column = twoPeople ? 1 - side : side;
    return column >= 0 && column < GameConfiguration::kPlayers ? column : 0;
}

bool Vehicle::usesPointer() const {
    const PlayerData* own = ownPlayer();
    return own && own->bPointerControl;
}

// Only the first side's player may steer with the pointer: a click hands it the pointer,
// the next new press of any of its five keys hands it back to the keys.
void Vehicle::switchSteering() {
    PlayerData* own = ownPlayer();
    const QorInput* in = &qor->input();
    if (side != 0 || !own || !own->bHuman) return;
    if (!own->bPointerControl) {
        if (in->isTouchPressed(0)) own->bPointerControl = 1;
        return;
    }
    const int column = keyColumn();
    for (int row : {GameConfiguration::kKeyUp, GameConfiguration::kKeyDown, GameConfiguration::kKeyLeft,
                    GameConfiguration::kKeyRight, GameConfiguration::kKeyFire})
        if (keyPressed(*in, boundKey(row, column))) own->bPointerControl = 0;
}

void Vehicle::clearControls() { bRaise = bLower = bTurnLeft = bTurnRight = bFirePressed = bFireHeld = 0; }

void Vehicle::control() {
    if (!bControlsEnabled) return;
    if (usesPointer())
        pointerControl();
    else
        keyControl();
}

void Vehicle::keyControl() {
    const QorInput& in = qor->input();
    const int column = keyColumn();
    bRaise = keyHeld(in, boundKey(GameConfiguration::kKeyUp, column));
    bLower = keyHeld(in, boundKey(GameConfiguration::kKeyDown, column));
    bTurnLeft = keyHeld(in, boundKey(GameConfiguration::kKeyLeft, column));
    bTurnRight = keyHeld(in, boundKey(GameConfiguration::kKeyRight, column));
    const int fire = boundKey(GameConfiguration::kKeyFire, column);
    bFirePressed = keyPressed(in, fire);
    bFireHeld = keyHeld(in, fire);
}

// The pointer distance that stands for the whole power range scales with the camera's
// distance, so the same screen distance asks for the same power at any zoom.
float Vehicle::pointerReference() const {
    const float width = static_cast<float>(kVirtualScreenWidth);
    const Context* owner = nullptr;
    for (const BasicLink* up = parent; up && !owner; up = up->parent) owner = dynamic_cast<const Context*>(up);
    const float distance = owner && owner->pCamera ? -owner->pCamera->position.z : width * 0.5f;
    return distance / (width * 0.5f) * kPointerReference;
}

// Pointer steering: the heading turns toward the pointer (a vehicle with limits aims at
// the nearer limit when the pointer is below it), the power follows the pointer's
// distance while it is there to be read, and contact 0 or 1 fires.
void Vehicle::pointerControl() {
    const QorInput& in = qor->input();
    const Context* context = qor->pCurrentContext;
    const Vector3 d = (context ? context->pointer : position) - position;
    const float a = std::atan2(d.y, d.x);
    aimAngle = a;
    if (a < 0.0f && maxAngle < kTwoPi) aimAngle = a > -kPi / 2.0f ? minAngle : maxAngle;
    const float wrapped = std::fmod(aimAngle, kTwoPi);
    aimAngle = wrapped < 0.0f ? wrapped + kTwoPi : wrapped;
    const std::int32_t s = wrapAngleSign(heading, aimAngle);
    bTurnLeft = s > 0;
    bTurnRight = s < 0;
    if (in.inputMode == QorInput::kModeMouse || (in.inputMode == QorInput::kModeTouch && in.isTouchHeld(0))) {
        const float v = pointerReference();
        aimPower = remap(minPower, maxPower, kPointerNear * v, kPointerFar * v, vectorLength(d));
    }
    if (aimPower < minPower) aimPower = minPower;
    if (aimPower > maxPower) aimPower = maxPower;
    bRaise = aimPower > power;
    bLower = power > aimPower;
    bFirePressed = in.isTouchPressed(0) || in.isTouchPressed(1);
    bFireHeld = in.isTouchHeld(0) || in.isTouchHeld(1);
    // A touch on the pause button must not also fire.
    const GameController* game = GameFx::currentGame();
    if (in.inputMode == QorInput::kModeTouch && game && game->isPauseButtonTouched()) bFirePressed = bFireHeld = 0;
}

bool Vehicle::trySpendEnergy(float cost) {
    if (cost > energy) return false;
    const GameController* game = GameFx::currentGame();
    if (!(game && game->bNoBlaster)) energy -= cost;
    return true;
}

// Contract: `power` is the shot's speed; the target's position is refined by predicting
// its motion over the flight time (when asked) and lifting the aim point by the fall the
// shot will make, three passes when the shot falls, one when it flies straight.
float Vehicle::computeAim(GameEntity* target, bool useTargetMotion, float gx, float gy, float gz) {
    if (!target) return 0.0f;
    const Vector3 g{gx, gy, gz};
    const int passes = gx == 0.0f && gy == 0.0f && gz == 0.0f ? 1 : 3;
    Vector3 aim = target->position;
    for (int i = 0; i < passes; ++i) {
        // Without power there is no flight time to predict over.
        const float t = power > 0.0f ? vectorLength(aim - position) / power : 0.0f;
        Vector3 predicted = target->position;
        if (useTargetMotion) predicted = predicted + target->velocity * t + target->acceleration * (0.5f * t * t);
        aim = predicted - g * (0.5f * t * t);
    }
    const float angle = std::atan2(aim.y - position.y, aim.x - position.x);
    const std::int32_t s = wrapAngleSign(heading, angle);
    bTurnLeft = s > 0;
    bTurnRight = s < 0;
    return wrapAngle(heading, angle);
}

Vehicle* Vehicle::operationalOpponent() const {
    const GameController* game = GameFx::currentGame();
    const PlayerData* enemy = game ? game->getPlayerData(1 - side) : nullptr;
    Vehicle* v = enemy ? enemy->pVehicle.get() : nullptr;
    return v && v != this && v->isOperational() ? v : nullptr;
}
