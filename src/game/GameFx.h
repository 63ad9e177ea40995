#pragma once
// What the projectiles and beams need of the running game, in one place: the current
// game controller and its entity lists, the graphics detail level, the Bloated
// projectiles mutator, the collision sensitivity of the input mode, the shared
// "projectiles" sprite sheet, sounds found by name, and the endings that several
// projectiles share (a small splash in the water, a bomb's explosion).
//
// Main thread only. Resources are found by name in the registry; a missing one is fatal.
#include <cstdint>

#include "engine/Vector3.h"

class GameController;
class GameEntity;
class QorBase;
class Skin;
class Sound;

namespace GameFx {
// The game on the screen stack (GameGlobal::pCurrentGame); null outside a game.
GameController* currentGame();
// The configuration's graphics detail level, 0 (low) or 1 (high), whatever the record
// holds; 1, the record's default, without an application.
int detailLevel();
// Explosion pieces by detail: 6 x detail level + `base`.
int detailPieces(int base);
// Rolls the current game's scene camera back and forth, `strength` radians at first,
// dying away over a second; nothing outside a game.
void shakeCamera(double strength);
// Whether the current game runs the Bloated projectiles mutator.
bool bloatedProjectiles();
// Appends `object` to entity list `index` of the current game (at the front with
// `atFront`). Without a game, or for an index that names no list, the object is deleted
// at once: what a projectile leaves behind is never owned by nobody.
void addToList(int index, QorBase* object, bool atFront = false);
// Skin `index` of the "projectiles" sheet, or the one after it under Bloated.
Skin* projectileSkin(int index);
// Collision sensitivity of the small projectiles: 1.0 in touch mode, else `normal`.
float touchSensitivity(float normal);
Sound* findSound(const char16_t* name);
// Plays the sound once, panned by the position's x (Sound::playAt).
void playAt(const char16_t* name, const Vector3& position);
// The same after setting the sound's random pitch range to [pitchLow, pitchHigh).
void playAt(const char16_t* name, const Vector3& position, float pitchLow, float pitchHigh);

// A projectile comes down in the water: it is flagged for deletion, splashes (20 drops,
// speeds 0 to 200, thrown up; detail 1 and more) and plays "smallSplash".
void splashIntoWater(GameEntity& projectile);
// A bomb's explosion where `projectile` is: flagged for deletion, 6 x detail + 4 pieces
// along its heading, "explosionShort" pitched up to half an octave higher.
void explodeAsBomb(GameEntity& projectile);
}  // namespace GameFx
