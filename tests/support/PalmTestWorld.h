#pragma once
// Test support for the palms and the in-game overlays: the menus' headless engine with
// the application object and an empty screen stack, a file manager and a clock for the
// sounds, the pictures and sounds a palm uses ("palm", "treeBurn", "nyuck", the effect
// frames), and a game controller that is the current game and writes down what the
// palms tell it. The palm picture is the 112 x 144 top left of a 256 x 256 texture.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/PlayerData.h"
#include "inputaudio/Sound.h"
#include "render/Renderable.h"
#include "support/EffectTextures.h"
#include "support/MenuTestEngine.h"
#include "support/TempFolder.h"

// A game controller that records the palms' calls.
class RecordingGame : public GameController {
public:
    void savePalms() override { ++palmSaves; }
    void onPalmsDestroyed(std::int32_t side) override { sidesDestroyed.push_back(side); }
    int palmSaves = 0;
    std::vector<std::int32_t> sidesDestroyed;
};

class PalmTestWorld {
public:
    static constexpr float kPictureRight = 112.0f / 256.0f;
    static constexpr float kPictureBottom = 144.0f / 256.0f;

    PalmTestWorld() {
        engine.makeGlobal();
        global->configuration.detail = 1;
        qor->pFileManager = new FileManager(0, 0);
        qor->pTimeKeeper = new TimeKeeper();
        qor->bEnableDelayedLoad = 1;
        textures.addEffectTextures();
        Texture* palm = textures.add(u"palm", 1, 256, 256);
        static_cast<Quad*>(palm->skins[0])->uvRect = {0.0f, 0.0f, kPictureRight, kPictureBottom};
        for (const char16_t* name : {u"treeBurn", u"nyuck"}) addSound(name);
        game = new RecordingGame();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        island = new Renderable();
        island->setPosition(-200.0f, 10.0f, 0.0f);
        game->layer(GameController::kIslandList)->addChild(island);
        game->getPlayerData(0)->pIsland = island;
    }
    ~PalmTestWorld() {
        static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
        if (game) game->destroy();
        for (Sound* s : sounds) s->destroy();
    }
    PalmTestWorld(const PalmTestWorld&) = delete;
    PalmTestWorld& operator=(const PalmTestWorld&) = delete;

    QorBase& layer(int index) const { return *game->layer(index); }
    int count(int index) const {
        int n = 0;
        for (BasicLink* c = layer(index).firstChild; c; c = c->next) ++n;
        return n;
    }

    MenuTestEngine engine;
    TempFolder folder;
    EffectTextures textures;
    std::vector<Sound*> sounds;
    RecordingGame* game = nullptr;
    Renderable* island = nullptr;

private:
    // A sound that is only verified, never loaded: there is no audio device here.
    void addSound(const char16_t* name) {
        const std::string path = folder.file("sound.ogg");
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
        auto* sound = new Sound(0, 2, std::u16string(path.begin(), path.end()));
        qor->pResourceManager->addResource(sound, name);
        sounds.push_back(sound);
    }
};
