#pragma once
// What the Duel's benchmarks share: the headless game of HeadlessGame.h with a Duel whose
// both sides the computer plays, stepped at 60 Hz. Deterministic from the seed given.
#include <cstdint>

#include "GameStep.h"
#include "HeadlessGame.h"
#include "engine/Random.h"
#include "game/GameControllerDuel.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"

namespace duelbench {
constexpr double kFrame = bench::kGameFrame;  // s
constexpr int kSkins = 98;                    // enough for the propeller's frames

inline const char16_t* const kPictures[] = {u"sky",
                                            u"sea",
                                            u"snowflake",
                                            u"palm",
                                            u"mousePointer",
                                            u"ovalButtons",
                                            u"explosion",
                                            u"smoke",
                                            u"propeller",
                                            u"biplane",
                                            u"biplane-markings",
                                            u"p35",
                                            u"p35-markings",
                                            u"cannon",
                                            u"projectiles",
                                            u"splash",
                                            u"circularSplash",
                                            u"hud-energybar",
                                            u"hud-bonusicons",
                                            u"balloons",
                                            u"flare",
                                            u"mouseArrow",
                                            u"hud-touchscreen",
                                            u"island"};
inline const char16_t* const kSounds[] = {
    u"engine",   u"engineSpinning", u"bombWhistle",  u"cannonFire",     u"smallSplash",       u"largeSplash",
    u"planeHit", u"bulletFire",     u"treeBurn",     u"explosionShort", u"explosionLong",     u"balloonPop",
    u"nyuck",    u"bonusPickup+",   u"bonusPickup-", u"switchWeapon",   u"switchWeaponLower", u"pop"};

inline const char16_t* const kWideSkins[] = {u"island:all"};

using bench::threadSeconds;

class DuelBenchWorld : public bench::HeadlessGame {
public:
    DuelBenchWorld() : HeadlessGame({kPictures, kSkins, kWideSkins, kSounds}) {
        GameConfiguration& c = global->configuration;
        c.difficulty = 4;
        c.duelOpponent = 2;
    }
    ~DuelBenchWorld() { endGame(); }
    DuelBenchWorld(const DuelBenchWorld&) = delete;
    DuelBenchWorld& operator=(const DuelBenchWorld&) = delete;

    // A new war with the computer on both sides, seeded with `seed`.
    GameControllerDuel& startWar(std::uint32_t seed) {
        endGame();
        Random::seed(seed);
        game = new GameControllerDuel();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        game->computerPlayers = 2;
        game->startGame(nullptr);
        game->playerData[0]->bHuman = 0;
        return *game;
    }
    void step() { bench::stepFrame(*game); }
    void endGame() { bench::endGame(game); }

    GameControllerDuel* game = nullptr;
};
}  // namespace duelbench
