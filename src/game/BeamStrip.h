#pragma once
// What the laser beam and the lightning bolt share: a textured strip that starts at the
// beam's position and reaches along its heading (the texture repeated along it), the
// crawl of its texture, its fade, the glow sprites at its ends, and the search for the
// target it strikes.
//
// Main thread only. The textures are found by name in the resource registry (fatal
// when missing).
#include "engine/Vector3.h"
#include "render/UColor.h"

class GameEntity;
class Quad;
class Renderable;

namespace BeamStrip {
// A new quad on skin 0 of texture `textureName`, for the beam to own as its skin.
Quad* makeQuad(const char16_t* textureName);
// Stretches `quad` to `newLength` units from `beam`'s position along its heading, the
// first skin of the texture repeated along it, and updates the beam's transform. Nothing when
// `length` already is `newLength`; otherwise `length` becomes it.
void setLength(Renderable& beam, Quad& quad, float& length, float newLength);
// Moves the texture along the strip by one random amount in [-0.5, 0.5) (one draw).
void crawl(Quad& quad);
// White with alpha 255 - 255 x fade, rounded (fade 0 opaque, 1 gone).
UColor fadeColour(double fade);
// Draws `glow` (a renderable outside the tree) with skin 0 of "flare" at `at`, scaled
// (sx, sy) and tinted `colour`.
void drawGlow(Renderable& glow, const Vector3& at, float sx, float sy, UColor colour);
// The nearest enemy, enemy bomb or bonus balloon of the current game whose collision
// circle the beam crosses ahead of its muzzle, nearer than sqrt(bestDistanceSquared);
// null when there is none. `bestDistanceSquared` becomes the squared distance from the
// beam's position to the target's bounds centre.
GameEntity* findTarget(const GameEntity& beam, float& bestDistanceSquared);
}  // namespace BeamStrip
