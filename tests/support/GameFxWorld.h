#pragma once
// Test support for the game's effects, projectiles and beams: the game test engine with
// a current game, plus blank textures under the names they look up (the effects'
// frames, the "projectiles" sheet, "zeppelin", "laser", "lightning") and the sounds they
// play (silent: there is no audio device). Entities are ticked as the scene ticks them,
// the scene being the current context (its camera shows x -400..400, y -240..240 at
// depth 0).
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "inputaudio/Sound.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/GameTestEngine.h"
#include "ui/ContextBlender.h"

// An entity of no side that counts the hits it takes.
class CountingTarget : public GameEntity {
public:
    CountingTarget() : GameEntity(-1) {}
    void onHit(GameEntity*, float) override { ++hits; }
    int hits = 0;
};

class GameFxWorld : public ::testing::Test {
protected:
    GameFxWorld() {
        for (auto [name, skins] : {std::pair{u"explosion", 16},
                                   {u"smoke", 16},
                                   {u"splash", 8},
                                   {u"circularSplash", 8},
                                   {u"flare", 1},
                                   {u"projectiles", 12},
                                   {u"zeppelin", 4},
                                   {u"laser", 1},
                                   {u"lightning", 1}})
            engine.addTexture(name, skins);
        qor->pFileManager = new FileManager(0, 0);  // sounds note where their files come from
        addSilentSounds({u"smallSplash", u"explosionShort", u"missileHit", u"bubbleBurst", u"laserFire", u"laserHit",
                         u"lightningFire", u"lightningHit"});
        engine.app().configuration.detail = 1;
        game = &engine.startGame();
        Random::seed(1);
    }
    ~GameFxWorld() override {
        engine.endGame();
        for (Sound* s : sounds) s->destroy();
    }

    Texture* texture(const char16_t* name) { return static_cast<Texture*>(qor->pResourceManager->find(true, name)); }
    QorBase& list(int index) { return *game->layer(index); }

    // Silent sounds (there is no audio device) under `names`, freed with the world.
    void addSilentSounds(std::initializer_list<const char16_t*> names) {
        for (const char16_t* name : names) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
    }
    // Runs `f` with the scene as the current context, as the scene runs its entities.
    template <class F>
    void inScene(F&& f) {
        Context* previous = qor->pCurrentContext;
        qor->pCurrentContext = game->pScene;
        f();
        qor->pCurrentContext = previous;
    }
    // One tick of `object` (a list or an entity) with the scene as the current context.
    void tickInScene(QorBase& object, double time, double dt) {
        inScene([&] { object.tick(time, dt); });
    }

    // A target of `size` x `size` units at (x, y) in entity list `index`, with health 100.
    template <class Target = CountingTarget>
    Target* addTarget(int index, float x, float y, float size = 20.0f) {
        auto* target = new Target();
        auto* quad = new Quad();
        quad->setSize(size, size);
        target->pSkin = quad;
        target->bOwnsSkin = 1;
        target->health = target->maxHealth = 100.0f;
        target->setPosition(x, y, 0.0f);
        list(index).addChild(target);
        return target;
    }

    GameTestEngine engine;
    std::vector<Sound*> sounds;
    GameController* game = nullptr;
};
