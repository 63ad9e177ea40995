// The Invasion's simulation step, headless: two players, full detail, on one core.
//
// For each of the waves 1 to 10 and for wave 50, a fresh Invasion of two sides (Very Easy,
// so that the palms last the wave) is brought to the start of that wave, then stepped
// frame by frame at 60 Hz while the wave plays (at most 60 s of game time): the spawners,
// every enemy and its effects, the collision pass and the rules, without drawing. Nobody
// shoots, so every enemy lives out its whole run. The figures printed are the mean and
// worst step in microseconds of the thread's CPU time, and the mean as a share of a
// 60 Hz frame (the goal is 5 % or less), for the busiest of the first ten waves and for
// wave 50.
//
// Then the autosaves' cost to the frame: in a game of wave 1, eight waves are started
// (each autosaves) and eight palms catch fire (each saves its palms), each save the
// profiles' file written to the disk of the data folder; the wall time of every frame
// that holds a save is taken, against that of the frames between them and that of a
// save made on the spot (what the frame would wait for without the background writer).
// The goal: no frame with a save longer than a 60 Hz frame.
//
// The pictures are blank 64 x 64 stand-ins and the sounds silent: the simulation reads
// only the skins' sizes, and there is no audio device. Deterministic from a fixed seed.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "GameStep.h"
#include "HeadlessGame.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameControllerCampaign.h"
#include "game/GameGlobal.h"
#include "game/Palm.h"
#include "game/PlayerData.h"

namespace {
constexpr double kFrame = bench::kGameFrame;  // s
constexpr double kLongestWave = 60.0;         // s of game time measured per wave
constexpr int kSkins = 24;

const char16_t* const kPictures[] = {u"sky",
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
                                     u"propelledBomb",
                                     u"hotAirBalloon",
                                     u"torpedo",
                                     u"kamikaze",
                                     u"bomber",
                                     u"atomBomb",
                                     u"hud-energybar",
                                     u"hud-bonusicons",
                                     u"balloons",
                                     u"flare",
                                     u"mouseArrow",
                                     u"laser",
                                     u"lightning",
                                     u"crate",
                                     u"parachute",
                                     u"ballistic",
                                     u"hud-touchscreen",
                                     u"island",
                                     u"zeppelin"};
const char16_t* const kSounds[] = {u"pop",
                                   u"engine",
                                   u"engineSpinning",
                                   u"bomberEngine",
                                   u"lightningFire",
                                   u"bombWhistle",
                                   u"bombWhistleShort",
                                   u"cannonFire",
                                   u"laserFire",
                                   u"laserHit",
                                   u"lightningHit",
                                   u"smallSplash",
                                   u"largeSplash",
                                   u"planeHit",
                                   u"bulletFire",
                                   u"treeBurn",
                                   u"explosionShort",
                                   u"explosionLong",
                                   u"balloonPop",
                                   u"bubbles",
                                   u"bubbleBurst",
                                   u"deflate",
                                   u"waterExit",
                                   u"missileLaunch",
                                   u"missileHit",
                                   u"kamikazeEntry",
                                   u"ballisticEntry",
                                   u"biplaneEntry",
                                   u"propelledBombEntry",
                                   u"bomberDropBomb",
                                   u"crateBreak",
                                   u"nyuck",
                                   u"bonusPickup+",
                                   u"bonusPickup-",
                                   u"switchWeapon",
                                   u"switchWeaponLower"};

const char16_t* const kWideSkins[] = {u"island:all", u"zeppelin:all"};

// The application with an Invasion of two players on Very Easy.
class HeadlessInvasion : public bench::HeadlessGame {
public:
    HeadlessInvasion() : HeadlessGame({kPictures, kSkins, kWideSkins, kSounds}) {
        GameConfiguration& c = global->configuration;
        c.difficulty = 0;
        c.invasionPlayers = 1;
    }
    ~HeadlessInvasion() { endGame(); }
    HeadlessInvasion(const HeadlessInvasion&) = delete;
    HeadlessInvasion& operator=(const HeadlessInvasion&) = delete;

    GameControllerCampaign& startAtWave(int wave) {
        endGame();
        Random::seed(1234);
        game = new GameControllerCampaign();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        game->startGame(nullptr);
        game->wave = wave - 1;
        while (game->state != GameControllerCampaign::kPlaying) step();
        return *game;
    }
    void step() { bench::stepFrame(*game); }
    void endGame() { bench::endGame(game); }

    GameControllerCampaign* game = nullptr;
};

struct WaveCost {
    int wave = 0;
    int frames = 0;
    int mostEnemies = 0;
    double meanMicros = 0.0;
    double worstMicros = 0.0;
    double share() const { return meanMicros / (kFrame * 1e6); }
};

WaveCost measure(HeadlessInvasion& world, int wave) {
    GameControllerCampaign& game = world.startAtWave(wave);
    WaveCost cost;
    cost.wave = wave;
    double total = 0.0;
    while (game.state == GameControllerCampaign::kPlaying && cost.frames < static_cast<int>(kLongestWave / kFrame)) {
        const double start = bench::threadSeconds();
        world.step();
        const double spent = (bench::threadSeconds() - start) * 1e6;
        total += spent;
        cost.worstMicros = std::max(cost.worstMicros, spent);
        cost.mostEnemies = std::max(cost.mostEnemies, game.layer(GameController::kEnemyList)->countChildren());
        ++cost.frames;
    }
    cost.meanMicros = cost.frames > 0 ? total / cost.frames : 0.0;
    return cost;
}

struct AutosaveCost {
    int saves = 0;
    double worstWithSave = 0.0;   // ms, wall time of a frame holding a save
    double worstBetween = 0.0;    // ms, of the frames between saves
    double worstOnTheSpot = 0.0;  // ms, of a save of the profiles written before it returns
    double meanOnTheSpot = 0.0;   // ms
};

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

AutosaveCost measureAutosaves(HeadlessInvasion& world) {
    constexpr int kEach = 8;            // waves started and palms set on fire
    constexpr int kFramesBetween = 30;  // half a second of play between saves
    GameControllerCampaign& game = world.startAtWave(1);
    AutosaveCost cost;
    const auto timedFrame = [&world](auto&& beforeStep) {
        const double start = wallSeconds();
        beforeStep();
        world.step();
        return (wallSeconds() - start) * 1e3;
    };
    const auto playBetween = [&] {
        for (int f = 0; f < kFramesBetween; ++f) cost.worstBetween = std::max(cost.worstBetween, timedFrame([] {}));
        global->profiles.finishSaving();  // the next save is one of its own, as in play
    };
    for (int i = 0; i < kEach; ++i) {
        const int wave = game.wave;
        cost.worstWithSave =
            std::max(cost.worstWithSave, timedFrame([&game] { game.setState(GameControllerCampaign::kNextWave); }));
        cost.saves += game.wave != wave;
        playBetween();
        Palm* palm = game.playerData[0]->palms[i].get();
        cost.worstWithSave = std::max(cost.worstWithSave, timedFrame([palm] { palm->takeDamage(nullptr, 1000.0f); }));
        cost.saves += palm->state != Palm::kStanding;
        playBetween();
    }
    double total = 0.0;
    for (int i = 0; i < 2 * kEach; ++i) {
        const double start = wallSeconds();
        global->profiles.save();
        const double spent = (wallSeconds() - start) * 1e3;
        total += spent;
        cost.worstOnTheSpot = std::max(cost.worstOnTheSpot, spent);
    }
    cost.meanOnTheSpot = total / (2 * kEach);
    return cost;
}

void print(const char* label, const WaveCost& c) {
    std::printf(
        "%-22s wave %2d: %5d frames, up to %3d enemies, step mean %7.1f us, worst %7.1f us, "
        "%5.2f %% of a 60 Hz frame (goal <= 5 %%)\n",
        label, c.wave, c.frames, c.mostEnemies, c.meanMicros, c.worstMicros, 100.0 * c.share());
}
}  // namespace

int main() {
    HeadlessInvasion world;
    if (world.folder.empty()) return 1;
    WaveCost busiest;
    for (int wave = 1; wave <= 10; ++wave) {
        const WaveCost c = measure(world, wave);
        print("Invasion, two players", c);
        if (c.meanMicros > busiest.meanMicros) busiest = c;
    }
    const WaveCost last = measure(world, GameControllerCampaign::kWaveCount);
    std::printf("\n");
    print("busiest of waves 1-10", busiest);
    print("last wave", last);

    const AutosaveCost saves = measureAutosaves(world);
    std::printf(
        "\nautosaves to the disk: %d saves (waves and palms catching fire); longest frame with a save %.2f ms, "
        "longest frame between them %.2f ms (a 60 Hz frame is %.2f ms); a save on the spot instead: mean %.2f ms, "
        "worst %.2f ms\n",
        saves.saves, saves.worstWithSave, saves.worstBetween, kFrame * 1e3, saves.meanOnTheSpot, saves.worstOnTheSpot);
    return 0;
}
