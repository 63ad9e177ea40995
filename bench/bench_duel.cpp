// The Duel's simulation step at its busiest, headless, on one core: a dogfight of two
// computer planes with guns, with both sides' computer cannons on their islands firing
// streams of bullets as well (the Autocannons load), and the bonus balloons kept at
// kBalloons in view. The step covers the whole game frame: every vehicle's computer
// player, the projectiles, effects and palms, the collision pass and the rules. When a
// plane goes down, a new dogfight starts at once. Printed: the mean and worst step in
// microseconds of the thread's CPU time over kMeasured seconds of play, and the mean as
// a share of a 60 Hz frame (the goal is 5 % or less).
#include <algorithm>
#include <cstdio>

#include "DuelBenchWorld.h"
#include "game/CannonAI.h"
#include "game/WeaponGun.h"

namespace {
constexpr double kMeasured = 60.0;  // s of game time
constexpr int kBalloons = 8;

// The round's vehicles plus both cannons, as a fresh dogfight.
void startDogfight(GameControllerDuel& game) {
    game.round = GameControllerDuel::kRounds - 1;
    game.setupRound();
    // Straight into play: no wait for the round's title.
    game.state = game.stateGoto = GameControllerDuel::kPlaying;
    game.stateLeft = 0.0;
    for (int side = 0; side < GameController::kSides; ++side) {
        auto* cannon = new CannonAI(side);
        cannon->position = Vector3{GameControllerDuel::kIslandX[side], 0.0f, 0.0f};
        cannon->setWeapon(new WeaponGun(side));
        cannon->updateXform();
        game.layer(GameController::kVehicleList)->addChild(cannon);
    }
}

void topUpBalloons(GameControllerDuel& game) {
    for (int n = game.layer(GameController::kBonusBalloonList)->countChildren(); n < kBalloons; ++n) {
        game.nextBonusTime = game.localTime - 1.0;
        game.spawnTimedBonus();
    }
}
}  // namespace

int main() {
    duelbench::DuelBenchWorld world;
    GameControllerDuel& game = world.startWar(1234);
    game.bAutocannons = 1;
    game.bonusFrequency = 2;
    while (game.state != GameControllerDuel::kBetweenRounds) world.step();
    startDogfight(game);
    int frames = 0, dogfights = 1, mostEntities = 0;
    double total = 0.0, worst = 0.0;
    for (; frames < static_cast<int>(kMeasured / duelbench::kFrame); ++frames) {
        if (game.stateGoto != GameControllerDuel::kPlaying) {
            startDogfight(game);
            ++dogfights;
        }
        topUpBalloons(game);
        const double start = duelbench::threadSeconds();
        world.step();
        const double spent = (duelbench::threadSeconds() - start) * 1e6;
        total += spent;
        worst = std::max(worst, spent);
        int entities = 0;
        for (int l = 0; l < GameController::kLayerCount; ++l) entities += game.layer(l)->countChildren();
        mostEntities = std::max(mostEntities, entities);
    }
    const double mean = total / frames;
    std::printf(
        "Duel dogfight with both cannons and %d balloons: %d frames, %d dogfights, up to %d entities, step "
        "mean %7.1f us, worst %7.1f us, %5.2f %% of a 60 Hz frame (goal <= 5 %%)\n",
        kBalloons, frames, dogfights, mostEntities, mean, worst, 100.0 * mean / (duelbench::kFrame * 1e6));
    return 0;
}
