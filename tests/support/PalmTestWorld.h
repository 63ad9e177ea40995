#pragma once
// Test support for the palms: the game's headless engine with a current game that
// records what the palms tell it, side 0's island, a file manager for the sounds, and
// the resources a palm uses ("palm" as a 112 x 144 picture, "treeBurn", "nyuck", the
// effect frames).
#include <cstdio>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "inputaudio/Sound.h"
#include "support/GameTestEngine.h"
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
        global->configuration.detail = 1;
        qor->pFileManager = new FileManager(0, 0);
        qor->bEnableDelayedLoad = 1;  // sounds are only verified: there is no audio device
        for (const char16_t* name : {u"explosion", u"smoke"}) engine.addTexture(name, 16);
        // The game engine's palm texture, its first skin cut to the picture's size.
        auto* palm = static_cast<Texture*>(qor->pResourceManager->find(true, u"palm"));
        static_cast<Quad*>(palm->skins[0])->uvRect = {0.0f, 0.0f, 112.0f / static_cast<float>(palm->width),
                                                      144.0f / static_cast<float>(palm->height)};
        const std::string file = folder.file("sound.ogg");
        std::fclose(std::fopen(file.c_str(), "wb"));
        for (const char16_t* name : {u"treeBurn", u"nyuck"}) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        game = &engine.startGame<RecordingGame>();
        auto* island = new Renderable();
        island->setPosition(-200.0f, 10.0f, 0.0f);
        layer(GameController::kIslandList).addChild(island);
        game->getPlayerData(0)->pIsland = island;
    }
    ~PalmTestWorld() {
        engine.endGame();
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

    GameTestEngine engine;
    TempFolder folder;
    std::vector<Sound*> sounds;
    RecordingGame* game = nullptr;
};
