#pragma once
// What the headless game benchmarks share: the engine's services the game uses, with
// blank 64 x 64 stand-in pictures and silent sounds (the simulation reads only the
// skins' sizes, and there is no audio device), and the application without a screen
// stack (nothing is shown), in a data folder of its own under /tmp. Nobody plays: no
// keyboard keys are down and there are no game controllers.
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "GameStep.h"
#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "language/Language.h"
#include "platform/InputDevices.h"
#include "render/Quad.h"
#include "render/Texture.h"

namespace bench {
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

// The calling thread's CPU time, s.
inline double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The stand-ins a game needs: each picture gets `skinsPerPicture` numbered skins
// ("name:0" ...), each wide skin ("island:all") one four stand-ins wide.
struct StandIns {
    std::span<const char16_t* const> pictures;
    int skinsPerPicture = 0;
    std::span<const char16_t* const> wideSkins;
    std::span<const char16_t* const> sounds;
};

// The engine and the application; a game of the benchmark's own is ended before this
// goes, as the application is. The configuration is full detail, no tips, no mutators.
class HeadlessGame {
public:
    explicit HeadlessGame(const StandIns& standIns) {
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
        for (const char16_t* name : standIns.pictures) addPicture(name, standIns.skinsPerPicture);
        for (const char16_t* name : standIns.wideSkins) addWideSkin(name);
        const std::string file = folder + "/silent.ogg";
        std::ofstream silent(file);
        for (const char16_t* name : standIns.sounds) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        global = new GameGlobal();
        GameConfiguration& c = global->configuration;
        c.detail = 1;
        c.bInGameHelp = 0;
        for (std::uint8_t& m : c.mutators) m = 0;
    }
    ~HeadlessGame() {
        delete global;
        global = nullptr;
        for (Sound* s : sounds) s->destroy();
        for (Texture* t : textures) t->destroy();
        for (Quad* q : wideSkins) q->destroy();
        delete qor;
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    std::string folder;  // empty when none could be made

private:
    static constexpr float kStandInSize = 64.0f;

    void addPicture(const char16_t* name, int skins) {
        auto* texture = new Texture(16, 16, 0);
        for (int i = 0; i < skins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSize(kStandInSize, kStandInSize);
            texture->skins.push_back(quad);
            qor->pResourceManager->addResource(quad, formatString(u"%s:%d", name, i));
        }
        textures.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
    }
    void addWideSkin(const char16_t* name) {
        auto* quad = new Quad();
        quad->setSize(4.0f * kStandInSize, kStandInSize);
        wideSkins.push_back(quad);
        qor->pResourceManager->addResource(quad, name);
    }

    std::vector<Texture*> textures;
    std::vector<Quad*> wideSkins;
    std::vector<Sound*> sounds;
};
}  // namespace bench
