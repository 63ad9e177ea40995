#pragma once
// What the Duel's benchmarks share: the engine's services the game uses, headless, with
// blank 64 x 64 stand-in pictures and silent sounds (the simulation reads only the
// skins' sizes, and there is no audio device), the application without a screen stack
// (nothing is shown), and a Duel whose both sides the computer plays, stepped at 60 Hz.
// Deterministic from the seed given.
#include <time.h>

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
#include "game/GameControllerDuel.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "language/Language.h"
#include "platform/InputDevices.h"
#include "render/Quad.h"
#include "render/Texture.h"

namespace duelbench {
constexpr double kFrame = 1.0 / 60.0;  // s
constexpr int kSkins = 98;             // enough for the propeller's frames
constexpr float kStandInSize = 64.0f;

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

inline double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class DuelBenchWorld {
public:
    // A data folder of its own under /tmp, removed again when the world goes.
    DuelBenchWorld() {
        char pattern[] = "/tmp/torvane-bench-XXXXXX";
        if (mkdtemp(pattern)) folder = pattern;
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
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
        const std::string file = folder + "/silent.ogg";
        std::ofstream silent(file);
        for (const char16_t* name : kSounds) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        global = new GameGlobal();
        GameConfiguration& c = global->configuration;
        c.detail = 1;
        c.difficulty = 4;
        c.duelOpponent = 2;
        c.bInGameHelp = 0;
        for (std::uint8_t& m : c.mutators) m = 0;
    }
    ~DuelBenchWorld() {
        endGame();
        delete global;
        global = nullptr;
        for (Sound* s : sounds) s->destroy();
        for (Texture* t : textures) t->destroy();
        for (Quad* q : extraSkins) q->destroy();
        delete qor;
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }

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

    GameControllerDuel* game = nullptr;
    std::string folder;

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
}  // namespace duelbench
