#include "game/makeBomb.h"

#include "game/Bomb.h"

Bomb* makeBomb(std::int32_t side, float x, float y, float z, float vx, float vy, float vz) {
    auto* bomb = new Bomb(side, x, y, z, vx, vy, vz);
    bomb->acceleration.y = kEnemyBombGravity;
    return bomb;
}
