#pragma once
// Test support for the game: the menus' headless engine (no display) with the textures a
// game scene needs (sky, sea and snowflake as plain 16 x 16 quads), the application
// object with an empty screen stack, a time keeper on a clock the test moves, and a
// game controller that is the current game. Frames are stepped by hand.
#include <memory>
#include <vector>

#include "engine/Random.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/FakeClock.h"
#include "support/MenuTestEngine.h"

class GameTestEngine : public MenuTestEngine {
public:
    explicit GameTestEngine(std::uint32_t seed = 1234) {
        for (const char16_t* name : {u"sky", u"sea", u"snowflake"}) addTexture(name, 2);
        makeGlobal();
        qor->pTimeKeeper = new TimeKeeper(clock);
        Random::seed(seed);
    }
    ~GameTestEngine() {
        endGame();
        delete qor->pTimeKeeper;
        qor->pTimeKeeper = nullptr;
        deleteGlobal();
        for (Texture* t : textures) t->destroy();
    }

    // A texture of `skins` quad skins, registered under `name`.
    void addTexture(const std::u16string& name, int skins) {
        auto* texture = new Texture(16, 16, 0);
        for (int i = 0; i < skins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSize(16.0f, 16.0f);
            texture->skins.push_back(quad);
        }
        textures.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
    }

    GameGlobal& app() { return *static_cast<GameGlobal*>(global); }

    // A new controller of type T as the current game (the previous one deleted).
    template <class T = GameController>
    T& startGame() {
        endGame();
        auto* game = new T();
        app().pCurrentGame = game;
        return *game;
    }
    void endGame() {
        if (!global || !app().pCurrentGame) return;
        app().pCurrentGame->destroy();
        app().pCurrentGame = nullptr;
    }

    // One frame of `seconds` of the current game, as the screen stack ticks it.
    void stepGame(double seconds = 0.0625) {
        frame(seconds);
        clock.advance(seconds);
        app().pCurrentGame->tick(0.0, 0.0);
    }

    FakeClock clock;
    std::vector<Texture*> textures;
};
