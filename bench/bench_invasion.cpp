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
// The pictures are blank 64 x 64 stand-ins and the sounds silent: the simulation reads
// only the skins' sizes, and there is no audio device. Deterministic from a fixed seed.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/GameControllerCampaign.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "language/Language.h"
#include "platform/InputDevices.h"
#include "render/Quad.h"
#include "render/Texture.h"

namespace {
constexpr double kFrame = 1.0 / 60.0;  // s
constexpr double kLongestWave = 60.0;  // s of game time measured per wave
constexpr int kSkins = 24;
constexpr float kStandInSize = 64.0f;

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

// No keyboard keys down and no game controllers: nobody plays.
class NoDevices : public InputDevices {
public:
    std::int32_t openKeyboard() override { return 0; }
    bool readKeyboard(std::uint8_t (&)[kKeyboardBytes]) override { return true; }
    void acquireKeyboard() override {}
    int countControllers() override { return 0; }
    std::string controllerInstanceName(int) override { return {}; }
    std::string controllerProductName(int) override { return {}; }
    std::int32_t openJoystick(int, int) override { return -1; }
    bool setAxisRange(int, int, int, int) override { return false; }
    void closeJoystick(int) override {}
    bool readJoystick(int, JoystickState&) override { return false; }
    void acquireJoystick(int) override {}
};

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The engine's services the game uses, the stand-in pictures and sounds, and the
// application (without a screen stack: nothing is shown).
class HeadlessGame {
public:
    explicit HeadlessGame(const std::string& folder) {
        new Qor(Qor::Headless{});
        qor->pSettings = new MemoryIniFile(std::vector<std::uint8_t>{});
        qor->pTimeKeeper = new TimeKeeper();
        qor->pQorInput = new QorInput(std::make_unique<NoDevices>());
        qor->pLanguage = new Language(u"");
        qor->pLanguage->setLanguage(0);
        qor->pResourceManager = new ResourceManager();
        qor->pFileManager = new FileManager(0, 0);
        qor->bEnableDelayedLoad = 1;
        for (const char16_t* name : kPictures) addPicture(name);
        addSkin(u"island:all");
        addSkin(u"zeppelin:all");
        const std::string file = folder + "/silent.ogg";
        std::ofstream silent(file);
        for (const char16_t* name : kSounds) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        global = new GameGlobal();
        GameConfiguration& c = global->configuration;
        c.detail = 1;
        c.difficulty = 0;
        c.invasionPlayers = 1;
        c.bInGameHelp = 0;
        for (std::uint8_t& m : c.mutators) m = 0;
    }
    ~HeadlessGame() {
        endGame();
        delete global;
        global = nullptr;
        for (Sound* s : sounds) s->destroy();
        for (Texture* t : textures) t->destroy();
        for (Quad* q : extraSkins) q->destroy();
        delete qor;
    }

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
    void step() {
        ++qor->frameCounter;
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += kFrame;
        game->tick(0.0, 0.0);
    }
    void endGame() {
        if (!game) return;
        static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
        game->destroy();
        game = nullptr;
    }

    GameControllerCampaign* game = nullptr;

private:
    void addPicture(const char16_t* name) {
        auto* texture = new Texture(16, 16, 0);
        for (int i = 0; i < kSkins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSize(kStandInSize, kStandInSize);
            texture->skins.push_back(quad);
            qor->pResourceManager->addResource(quad, formatString(u"%s:%d", name, i));
        }
        textures.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
    }
    void addSkin(const char16_t* name) {
        auto* quad = new Quad();
        quad->setSize(4.0f * kStandInSize, kStandInSize);
        extraSkins.push_back(quad);
        qor->pResourceManager->addResource(quad, name);
    }

    std::vector<Texture*> textures;
    std::vector<Quad*> extraSkins;
    std::vector<Sound*> sounds;
};

struct WaveCost {
    int wave = 0;
    int frames = 0;
    int mostEnemies = 0;
    double meanMicros = 0.0;
    double worstMicros = 0.0;
    double share() const { return meanMicros / (kFrame * 1e6); }
};

WaveCost measure(HeadlessGame& world, int wave) {
    GameControllerCampaign& game = world.startAtWave(wave);
    WaveCost cost;
    cost.wave = wave;
    double total = 0.0;
    while (game.state == GameControllerCampaign::kPlaying && cost.frames < static_cast<int>(kLongestWave / kFrame)) {
        const double start = threadSeconds();
        world.step();
        const double spent = (threadSeconds() - start) * 1e6;
        total += spent;
        cost.worstMicros = std::max(cost.worstMicros, spent);
        cost.mostEnemies = std::max(cost.mostEnemies, game.layer(GameController::kEnemyList)->countChildren());
        ++cost.frames;
    }
    cost.meanMicros = cost.frames > 0 ? total / cost.frames : 0.0;
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
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    setenv("XDG_DATA_HOME", pattern, 1);
    {
        HeadlessGame world(pattern);
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
    }
    std::filesystem::remove_all(pattern);
    return 0;
}
