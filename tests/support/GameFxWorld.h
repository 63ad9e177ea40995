#pragma once
// Test support for the game's effects, projectiles and beams: a headless engine with a
// clock, blank textures under the names they look up (the effects' frames, the
// "projectiles" sheet, "zeppelin", "laser", "lightning"), the sounds they play (silent),
// the application object and a game controller as the current game. Entities are
// ticked as the scene ticks them, the scene being the current context (its camera shows
// x -400..400, y -240..240 at depth 0).
#include <gtest/gtest.h>

#include <vector>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "inputaudio/Sound.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/BareEngine.h"
#include "support/UserDataHome.h"
#include "ui/ContextBlender.h"
#include "ui/GameGlobal.h"

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
        qor->pTimeKeeper = new TimeKeeper();
        for (auto [name, skins] : {std::pair{u"explosion", 16},
                                   {u"smoke", 16},
                                   {u"splash", 8},
                                   {u"circularSplash", 8},
                                   {u"flare", 1},
                                   {u"projectiles", 12},
                                   {u"zeppelin", 4},
                                   {u"lightning", 1}})
            addTexture(name, skins, 32);
        addTexture(u"laser", 1, 256);
        for (const char16_t* name : {u"smallSplash", u"explosionShort", u"missileHit", u"bubbleBurst", u"laserFire",
                                     u"laserHit", u"lightningFire", u"lightningHit"}) {
            resources.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(resources.back(), name);
        }
        global = app = new GameGlobal();
        app->configuration.detail = 1;
        app->pCurrentGame = game = new GameController();
        Random::seed(1);
    }
    ~GameFxWorld() override {
        game->destroy();
        delete app;
        global = nullptr;
        for (QorBase* r : resources) r->destroy();
    }

    // A w x w texture whose `skins` skins each cover all of it, registered as `name`.
    Texture* addTexture(const char16_t* name, int skins, int w) {
        auto* texture = new Texture(w, w, 0);
        for (int i = 1; i < skins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(0, 0, w, w);
            texture->skins.push_back(quad);
        }
        resources.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
        return texture;
    }
    Texture* texture(const char16_t* name) { return static_cast<Texture*>(qor->pResourceManager->find(true, name)); }
    QorBase& list(int index) { return *game->layer(index); }

    // One tick of `object` (a list or an entity) with the scene as the current context.
    void tickInScene(QorBase& object, double time, double dt) {
        Context* previous = qor->pCurrentContext;
        qor->pCurrentContext = game->pScene;
        object.tick(time, dt);
        qor->pCurrentContext = previous;
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

    BareEngine bare;
    UserDataHome home;
    std::vector<QorBase*> resources;
    GameGlobal* app = nullptr;
    GameController* game = nullptr;
};
