// The game's frame on this machine, in the game's own art: two islands with ten palms each
// at full detail, both cannons firing their fastest weapon (the bubble gun) without end,
// and the air kept at 200 shots, 100 effects and 50 bombs (shots burst the bombs; what
// leaves or bursts is made anew).
//
// It prints
//  - the simulation step alone (the game's tick, no drawing) as a share of a 60 Hz frame
//    on this one thread; the goal is at most 5 %;
//  - the whole frame through the engine (the step, then drawing, headless) against
//    the same frame's triangles sent straight to OpenGL from a second context that shares
//    the textures: all vertices in one buffer, one draw call per texture; the goal is at
//    most 1.3 times. The two take turns in short batches, so that a busy machine slows
//    both alike, and the medians of the batches are reported.
//
// The program runs to its title menu first (which loads the data), in an 800 x 480 window
// with its data folder under /tmp; on SDL's offscreen driver when there is no display.
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstddef>
#include <cstdio>
#include <numbers>
#include <vector>

#include "BenchEngine.h"
#include "BenchProgram.h"
#include "DirectReplay.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/Bomb.h"
#include "game/BomberBomb.h"
#include "game/BubbleProjectile.h"
#include "game/Bullet.h"
#include "game/Cannon.h"
#include "game/CannonShell.h"
#include "game/FlareBurst.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/Weapon.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/Texture.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr double kFrame = 1.0 / 60.0;
constexpr int kShots = 200, kEffects = 100, kBombs = 50, kPalms = 10;
constexpr float kIslandX = 500.0f;

// A cannon that sweeps its barrel and holds fire.
class FiringCannon : public Cannon {
public:
    using Cannon::Cannon;
    void control() override {
        bFireHeld = bFirePressed = 1;
        if (heading <= minAngle + 0.3f) sweep = 1;
        if (heading >= maxAngle - 0.3f) sweep = -1;
        bTurnLeft = sweep > 0;
        bTurnRight = sweep < 0;
    }
    int sweep = 1;
};

int count(const QorBase* list) {
    int n = 0;
    for (const BasicLink* c = list->firstChild; c; c = c->next) n += c->pendingDelete ? 0 : 1;
    return n;
}

float randomIn(float low, float high) { return low + (high - low) * Random::fraction(); }

// The scene's rules: keep the air full, and let shots burst bombs.
class BenchScene : public GameController {
public:
    void tickGame() override {
        const int shots = count(layer(kPlayerShotList)) + count(layer(kBulletList)) + count(layer(kCannonShellList));
        for (int i = shots; i < kShots; ++i) addShot();
        // The cannons' own shots count too: the oldest beyond the number go quietly.
        int extra = shots - kShots;
        for (BasicLink* c = layer(kPlayerShotList)->firstChild; c && extra > 0; c = c->next)
            if (!c->pendingDelete) c->pendingDelete = 1, --extra;
        for (int i = count(layer(kEffectList)); i < kEffects; ++i) addEffect();
        for (int i = count(layer(kBombList)) + count(layer(kEnemyBombList)); i < kBombs; ++i) addBomb();
    }
    void collide() override {
        for (int shots : {kPlayerShotList, kBulletList, kCannonShellList})
            for (BasicLink* s = layer(shots)->firstChild; s; s = s->next)
                for (BasicLink* b = layer(kEnemyBombList)->firstChild; b; b = b->next) {
                    auto* shot = static_cast<GameEntity*>(s);
                    auto* bomb = static_cast<GameEntity*>(b);
                    if (shot->pendingDelete || bomb->pendingDelete || !shot->collide(bomb)) continue;
                    shot->onCollision(bomb);
                    bomb->onCollision(shot);
                }
    }

private:
    void addShot() {
        const float x = Random::fraction() < 0.5f ? -kIslandX : kIslandX;
        const float a = randomIn(0.2f * kPi, 0.8f * kPi), v = randomIn(250.0f, 500.0f);
        const float vx = std::cos(a) * v, vy = std::sin(a) * v;
        switch (Random::next() % 3) {
            case 0:
                layer(kPlayerShotList)->addChild(new CannonShell(0, x, 10.0f, 0.0f, vx, vy, 0.0f));
                break;
            case 1:
                layer(kBulletList)->addChild(new Bullet(1, x, 10.0f, 0.0f, vx, vy, 0.0f));
                break;
            default:
                // Not missiles: their smoke trails alone would outnumber the effects asked for.
                layer(kPlayerShotList)->addChild(new BubbleProjectile(0, x, 10.0f, 0.0f, a, v * 0.5f));
        }
    }
    void addEffect() {
        const float x = randomIn(-700.0f, 700.0f), y = randomIn(0.0f, 400.0f);
        QorBase* effects = layer(kEffectList);
        switch (Random::next() % 4) {
            case 0:
                effects->addChild(new SpriteEffect(x, y, 0.0f, 10, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 1.5f));
                break;
            case 1:
                effects->addChild(
                    SpriteEffect::createSmoke(x, y, 0.0f, 6, 10.0f, 40.0f, kPi / 2, kPi / 2, 1.0f, 0xFFC0C0C0u));
                break;
            case 2:
                effects->addChild(
                    new Splash(x, GameEntity::kWaterLine, 0.0f, 20, 0.0f, 200.0f, kPi / 2, kPi / 2, 1.0f));
                break;
            default:
                effects->addChild(new FlareBurst(x, y, 0.0f, 10, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 2.0f, 0xFFFFD080u));
        }
    }
    void addBomb() {
        const float x = randomIn(-700.0f, 700.0f);
        if (Random::fraction() < 0.5f)
            layer(kEnemyBombList)->addChild(new BomberBomb(Vector3{x, 450.0f, 0.0f}, Vector3{20.0f, 0.0f, 0.0f}, {}));
        else
            layer(kEnemyBombList)->addChild(new Bomb(-1, x, 450.0f, 0.0f, randomIn(-30.0f, 30.0f), 0.0f, 0.0f));
    }
};

BenchScene* buildScene() {
    global->configuration.detail = 1;
    auto* game = new BenchScene();
    static_cast<GameGlobal*>(global)->pCurrentGame = game;
    global->pContextManager->addChild(game);
    game->bNoBlaster = 1;  // the guns never run dry
    game->pScene->camera()->setPosition(0.0f, 120.0f, -640.0f);
    auto* islandTexture = static_cast<Texture*>(qor->resources().find(true, u"island"));
    for (int s = 0; s < 2; ++s) {
        auto* island = new Renderable();
        island->pSkin = static_cast<Skin*>(qor->resources().find(true, u"island:all"));
        island->setPosition(s == 0 ? -kIslandX : kIslandX, 21.0f - 0.5f * islandTexture->skins[0]->height, 0.0f);
        game->layer(GameController::kIslandList)->addChild(island);
        PlayerData& side = *game->playerData[s];
        side.pIsland = island;
        side.createPalms(kPalms, 0);
        auto* cannon = new FiringCannon(s);
        cannon->setPosition(island->position.x, 0.0f, 0.0f);
        cannon->setWeapon(Weapon::createFromType(2, s));
        game->layer(GameController::kVehicleList)->addChild(cannon);
        side.pVehicle = cannon;
    }
    return game;
}

void step(GameController& game) {
    qor->timer.previousFrameStart = qor->timer.frameStart;
    qor->timer.frameStart += kFrame;
    game.tick(0.0, 0.0);
}

// The step, then drawing; it waits until the frame is really drawn.
void engineFrame(GameController& game) {
    step(game);
    bench::drawEngineFrame(game);
}

bench::DirectReplay direct;

void report(BenchScene& game, SDL_Window* window, SDL_GLContext engineContext, SDL_GLContext directContext) {
    for (int i = 0; i < 240; ++i) step(game);  // into the steady state
    std::vector<double> steps;
    for (int i = 0; i < 600; ++i) steps.push_back(bench::timePerFrame(1, [&] { step(game); }));
    const int shots = count(game.layer(GameController::kPlayerShotList)) +
                      count(game.layer(GameController::kBulletList)) +
                      count(game.layer(GameController::kCannonShellList));
    std::printf("scene: %d palms, %d shots, %d effects, %d bombs in flight\n",
                count(game.layer(GameController::kPalmList)), shots, count(game.layer(GameController::kEffectList)),
                count(game.layer(GameController::kBombList)) + count(game.layer(GameController::kEnemyBombList)));
    std::printf("simulation step: %.3f ms median = %.2f %% of a 60 Hz frame (goal at most 5 %%)\n",
                median(steps) * 1000.0, median(steps) / kFrame * 100.0);

    direct.record(bench::recordBatches([&] { engineFrame(game); }));
    const bench::RaceMedians m =
        bench::raceReplay(direct, window, engineContext, directContext, 40, [&] { engineFrame(game); });
    std::printf(
        "whole frame through the engine: %.3f ms (%d draw calls); the same %zu vertices straight to "
        "OpenGL: %.3f ms (%zu draw calls)\n",
        m.engine * 1000.0, direct.engineCalls, direct.vertexCount(), m.direct * 1000.0, direct.drawCalls());
    std::printf("engine frame / direct frame: %.2f (median of batch pairs; goal at most 1.3) on %s\n", m.ratio,
                qor->graphics().dxDevice->rendererName());
}
}  // namespace

int main() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    Window window;
    if (!bench::startProgram(window)) {
        std::fprintf(stderr, "bench_game: the program did not reach its title menu (%s)\n", SDL_GetError());
        return 0;
    }
    SDL_Window* handle = window.handle();
    SDL_GLContext engineContext = SDL_GL_GetCurrentContext();
    SDL_GLContext directContext = bench::openReplayContext(handle);
    Random::seed(2024);
    BenchScene* game = buildScene();
    if (directContext) {
        report(*game, handle, engineContext, directContext);
        SDL_GL_DeleteContext(directContext);
        SDL_GL_MakeCurrent(handle, engineContext);
    } else {
        std::fprintf(stderr, "bench_game: no second OpenGL context (%s)\n", SDL_GetError());
    }
    bench::stopProgram(window);
    return 0;
}
