#pragma once
// Test support for the palms: the menus' headless engine with the application object, a
// file manager and a clock for the sounds, the resources a palm uses ("palm" as the
// 112 x 144 top left of a 256 x 256 texture, "treeBurn", "nyuck", the effect frames),
// and a current game with side 0's island that records what the palms tell it.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/PlayerData.h"
#include "inputaudio/Sound.h"
#include "support/EffectTextures.h"
#include "support/MenuTestEngine.h"
#include "support/TempFolder.h"

class RecordingGame : public GameController {
public:
    void savePalms() override { ++palmSaves; }
    void onPalmsDestroyed(std::int32_t side) override { sidesDestroyed.push_back(side); }
    int palmSaves = 0;
    std::vector<std::int32_t> sidesDestroyed;
};

class PalmTestWorld {
public:
    PalmTestWorld() {
        engine.makeGlobal();
        global->configuration.detail = 1;
        qor->pFileManager = new FileManager(0, 0);
        qor->pTimeKeeper = new TimeKeeper();
        qor->bEnableDelayedLoad = 1;  // sounds are only verified: there is no audio device
        textures.addEffectTextures();
        Texture* palm = textures.add(u"palm", 1, 256, 256);
        static_cast<Quad*>(palm->skins[0])->uvRect = {0.0f, 0.0f, 112.0f / 256.0f, 144.0f / 256.0f};
        const std::string file = folder.file("sound.ogg");
        std::fclose(std::fopen(file.c_str(), "wb"));
        for (const char16_t* name : {u"treeBurn", u"nyuck"}) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        game = new RecordingGame();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        auto* island = new Renderable();
        island->setPosition(-200.0f, 10.0f, 0.0f);
        layer(GameController::kIslandList).addChild(island);
        game->getPlayerData(0)->pIsland = island;
    }
    ~PalmTestWorld() {
        static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
        game->destroy();
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
};
