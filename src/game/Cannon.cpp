#include "game/Cannon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/PlayerData.h"
#include "game/Weapon.h"
#include "inputaudio/QorInput.h"
#include "render/Skin.h"

namespace {
Skin* cannonSkin(const char16_t* name) { return static_cast<Skin*>(qor->resources().find(true, name)); }
}  // namespace

Cannon::Cannon(std::int32_t side_) : Vehicle(side_) {
    pSkin = cannonSkin(u"cannon:1");
    barrel.pSkin = cannonSkin(u"cannon:0");
    colourPiece.pSkin = cannonSkin(u"cannon:2");
    if (const PlayerData* own = ownPlayer()) colourPiece.color = own->colour;
    heading = aimAngle = std::numbers::pi_v<float> / 2.0f;
    turnRate = std::numbers::pi_v<float> / 2.0f;
    minPower = 250.0f;
    maxPower = 500.0f;
    nominalPower = aimPower = power = 500.0f;
    powerRate = 400.0f;
    minAngle = kMinAngle;
    maxAngle = kMaxAngle;
    updateXform();
}

void Cannon::update(double time, double dt) {
    Vehicle::tick(time, dt);
    clearControls();
    control();
    const float step = static_cast<float>(dt);
    applyPower(step);
    applyAim(step);
    fireWeapon(time, dt);
    recoil = std::clamp(recoil - kRecoilDecay * step, 0.0f, 1.0f);
    placePieces();
}

void Cannon::applyPower(float dt) {
    if (bRaise) power += powerRate * dt;
    if (bLower) power -= powerRate * dt;
    power = std::clamp(power, minPower, maxPower);
}

// A touch puts the barrel where the finger is at once; keys and the mouse turn it at the
// turn rate, and a turn toward the pointer stops on it instead of swinging past.
void Cannon::applyAim(float dt) {
    const PlayerData* own = ownPlayer();
    const bool pointer = usesPointer();
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    if (own && own->bHuman && pointer && touch) {
        heading = aimAngle;
    } else {
        float turn = turnRate * dt;
        if (pointer) turn = std::min(turn, std::fabs(wrapAngle(heading, aimAngle)));
        if (bTurnLeft) heading += turn;
        if (bTurnRight) heading -= turn;
    }
    heading = std::clamp(heading, minAngle, maxAngle);
}

// The shot leaves from the barrel's mouth as it stood last frame.
void Cannon::fireWeapon(double time, double dt) {
    if (!weapon || !weapon->canFire(time, dt)) return;
    const Vector3 direction{std::cos(heading), std::sin(heading), 0.0f};
    const Vector3 muzzle = barrel.position + direction * kMuzzleLength;
    recoil = 1.0f;
    weapon->fire(muzzle.x, muzzle.y, muzzle.z, heading, power);
}

void Cannon::placePieces() {
    colourPiece.position = position;
    colourPiece.updateXform();
    const Vector3 direction{std::cos(heading), std::sin(heading), 0.0f};
    barrel.position = position - direction * (kRecoilLength * recoil * recoil);
    barrel.rotation.z = heading;
    barrel.updateXform();
}

void Cannon::render() {
    barrel.render();
    Renderable::render();
    colourPiece.render();
}

// The HUD's picture: the body and the barrel at half size in translucent black, without
// recoil or colour.
void Cannon::drawIcon(float x, float y, float z) {
    Renderable icon;
    icon.pSkin = pSkin;
    icon.position = Vector3{x, y, z};
    icon.scale = Vector3{0.5f, 0.5f, 1.0f};
    icon.color = kIconColour;
    icon.updateXform();
    icon.render();
    icon.pSkin = barrel.pSkin;
    icon.rotation = barrel.rotation;
    icon.updateXform();
    icon.render();
}
