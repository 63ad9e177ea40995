#pragma once
// The island's cannon: a vehicle that stands still, turns its barrel between just above
// the horizon on either side, sets its firing power between 250 and 500 and fires through
// its weapon. It draws itself from three pieces of the "cannon" texture: the barrel
// (which kicks back when a shot leaves), the body over its foot, and a piece in the
// side's colour on top.
//
// Each frame (update): the vehicle's recharge and steering switch, the control flags
// (human or computer), power, aim, the shot, then the pieces are placed.
//
// Lifetime: made by the mode controllers (and the intro) in the vehicle list; owns its
// weapon through Vehicle. Main thread only.
#include <cstdint>

#include "game/Vehicle.h"
#include "render/Renderable.h"

class Cannon : public Vehicle {
public:
    static constexpr float kMinAngle = 0.012271847f;           // pi / 256: just above the horizon on the right
    static constexpr float kMaxAngle = 3.141589f;              // a little under pi: just above it on the left
    static constexpr float kMuzzleLength = 26.0f;              // units from the barrel's pivot to where shots leave
    static constexpr float kRecoilLength = 4.0f;               // units the barrel slides back at full recoil
    static constexpr float kRecoilDecay = 4.0f;                // recoil lost per second: gone in a quarter second
    static constexpr std::uint32_t kIconColour = 0x80000000u;  // black at half opacity

    explicit Cannon(std::int32_t side);

    void tick(double time, double dt) override { update(time, dt); }
    // The barrel, then the body, then the colour piece.
    void render() override;
    void drawIcon(float x, float y, float z) override;

    // One frame of the cannon (see the header comment).
    void update(double time, double dt);

    Renderable barrel;       // turns with the heading and recoils; not in the tree
    Renderable colourPiece;  // in the side's colour; not in the tree
    float recoil = 0.0f;     // 1 right after a shot, falling to 0

private:
    void applyPower(float dt);
    void applyAim(float dt);
    void fireWeapon(double time, double dt);
    void placePieces();
};
