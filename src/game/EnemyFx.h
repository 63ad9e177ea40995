#pragma once
// What the enemies share beyond GameFx: their pictures found by name, the explosion and
// splash recipes of their ends, and the smoke puffs they trail. Each recipe puts its
// effect into the game's effect list (smoke behind, at the front of the smoke list),
// plays its sound at the enemy's position and, where it ends the enemy, flags it for
// deletion.
//
// Piece counts follow the configuration's detail level D (GameFx::detailPieces). Main
// thread only; a missing picture or sound is fatal.
#include <cstdint>

#include "engine/Vector3.h"
#include "render/UColor.h"

class GameEntity;
class Skin;
class Texture;

namespace EnemyFx {
// The texture registered under `name`.
Texture* texture(const char16_t* name);
// Skin `index` of that texture; an index it does not have is fatal.
Skin* skin(const char16_t* name, int index);
Skin* skin(Texture& texture, int index);

// The plane's end: 5 pieces all around, "explosionShort" up to half an octave higher.
void explodePlane(GameEntity& enemy);
// A bomb's end: 6 D + 4 pieces along the heading, "explosionShort" pitched up.
void explodeBomb(GameEntity& enemy);
// The kamikaze's end: as a bomb's, the pieces thrown faster.
void explodeKamikaze(GameEntity& enemy);
// The bomber's end: 6 D + 8 large pieces all around, "explosionShort" pitched down.
void explodeBomber(GameEntity& enemy);
// The ballistic missile's end: 6 D + 8 pieces along the heading from the middle of its
// bounds, "explosionShort" pitched down.
void explodeMissile(GameEntity& enemy);
// Sinks in the water: 20 drops (detail 1 and more), "smallSplash".
void splashSmall(GameEntity& enemy);
// Crashes into the water: 25 large drops (detail 1 and more), "largeSplash".
void splashLarge(GameEntity& enemy);
// A smoke puff at `at` at the front of the smoke list (drawn behind everything).
void smokeBehind(const Vector3& at, int count, float speedMin, float speedMax, float direction, float arc, float scale,
                 UColor colour);
}  // namespace EnemyFx
