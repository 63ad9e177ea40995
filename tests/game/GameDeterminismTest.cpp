// A seeded scene stepped frame by frame must reach the same state on every run: saved
// games, replays of bug reports and the soak runs rely on it.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <typeinfo>

#include "engine/Random.h"
#include "game/ArmedGame.h"
#include "game/Bomb.h"
#include "game/BomberBomb.h"
#include "game/BubbleProjectile.h"
#include "game/Bullet.h"
#include "game/Cannon.h"
#include "game/CannonShell.h"
#include "game/FlareBurst.h"
#include "game/GameEntity.h"
#include "game/GameFx.h"
#include "game/LaserBeam.h"
#include "game/LightningBolt.h"
#include "game/Missile.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Splash.h"
#include "game/Weapon.h"
#include "game/ZeppelinPart.h"
#include "game/makeBomb.h"
#include "render/Easing.h"
#include "support/GameTestEngine.h"

namespace {
// Just enough rules to exercise the shared machinery: shots of random sides from random
// places every 1/8 s, targets that take, deal and score damage, bonus times drawn.
class SoakMode : public GameController {
public:
    void tickGame() override {
        if (localTime >= nextShot) {
            nextShot = localTime + 0.125;
            auto* shot = new GameEntity(static_cast<std::int32_t>(Random::next() % 2));
            shot->position = Vector3{Random::fraction() * 200.0f - 100.0f, 0.0f, 0.0f};
            shot->velocity = Vector3{Random::fraction() * 40.0f - 20.0f, 180.0f, 0.0f};
            shot->acceleration.y = -128.0f;
            shot->bOrientAlongVelocity = 1;
            shot->bVisible = 0;  // never drawn here, so the view rule applies
            layer(kPlayerShotList)->addChild(shot);
        }
        if (localTime >= bonusAt) bonusAt = nextBonusTime();
    }
    void collide() override {
        for (BasicLink* s = layer(kPlayerShotList)->firstChild; s; s = s->next)
            for (BasicLink* e = layer(kEnemyList)->firstChild; e; e = e->next) {
                auto* shot = static_cast<GameEntity*>(s);
                auto* enemy = static_cast<GameEntity*>(e);
                if (shot->pendingDelete || enemy->pendingDelete ||
                    !isWithinRadius(shot->position, enemy->position, 24.0f))
                    continue;
                shot->onCollision(enemy);
                enemy->onCollision(shot);
            }
    }
    double nextShot = 0.0, bonusAt = 0.0;
};

struct Outcome {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    std::int32_t score = 0;                        // both sides
    int shotsLeft = 0;
    template <class T>
    void mix(const T& value) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        for (std::size_t i = 0; i < sizeof value; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
};

Outcome runScene(std::uint32_t seed, int frames) {
    GameTestEngine engine(seed);
    SoakMode& game = engine.startGame<SoakMode>();
    game.startGame(nullptr);
    for (int i = 0; i < 12; ++i) {
        auto* target = new GameEntity(-1);
        target->position = Vector3{Random::fraction() * 200.0f - 100.0f, 60.0f + 10.0f * static_cast<float>(i), 0.0f};
        target->health = target->maxHealth = 3.0f;
        target->scoreValue = 250;
        target->bRemoveOffscreen = 0;
        game.layer(GameController::kEnemyList)->addChild(target);
    }
    for (int f = 0; f < frames; ++f) engine.stepGame(1.0 / 64.0);
    Outcome out;
    for (int l = 0; l < GameController::kLayerCount; ++l)
        for (BasicLink* c = game.layer(l)->firstChild; c; c = c->next) {
            const auto* e = static_cast<const GameEntity*>(c);
            for (float v : {e->position.x, e->position.y, e->velocity.x, e->velocity.y, e->heading, e->health})
                out.mix(v);
            if (l == GameController::kPlayerShotList) ++out.shotsLeft;
        }
    for (const PlayerData* p : game.playerData) out.score += p->getScore(), out.mix(p->getScore());
    out.mix(Random::state());
    out.mix(game.bonusAt);
    return out;
}
}  // namespace

TEST(GameDeterminism, ASeededSceneReachesTheSameStateEveryRun) {
    const Outcome first = runScene(2024, 600);
    EXPECT_GT(first.score, 0);            // shots scored,
    EXPECT_LT(first.shotsLeft, 600 / 8);  // and shots left the view
    EXPECT_EQ(runScene(2024, 600).hash, first.hash);
    EXPECT_NE(runScene(2025, 600).hash, first.hash);
    // The state this build reaches (also with clang); a change is a change of behaviour.
    EXPECT_EQ(first.hash, 0x2b82354122d3c396ull) << std::hex << first.hash;
}

namespace {
// A cannon that plays by itself: it sweeps its barrel to and fro, presses fire every
// eighth frame and holds it in between, and changes weapon every 0.75 s, through all six.
class SweepingCannon : public Cannon {
public:
    using Cannon::Cannon;
    void control() override {
        ++frames;
        bTurnLeft = (frames / 48) % 2 == 0;
        bTurnRight = !bTurnLeft;
        bRaise = (frames / 96) % 2 == 0;
        bLower = !bRaise;
        bFirePressed = frames % 8 == 0;
        bFireHeld = frames % 8 != 7;
        if (frames % 48 == 0) setWeapon(Weapon::createFromType((frames / 48) % Weapon::kTypeCount, side));
    }
    int frames = 0;
};

// Every kind of object of the game at once: both sides' islands, palms and cannons
// firing every weapon, enemies that the shots and beams hit, bombs of three kinds falling
// onto the palms, a zeppelin's engine car, explosions, smoke, splashes and flare bursts.
class FullScene : public GameController {
public:
    void tickGame() override {
        if (localTime < nextDrop) return;
        nextDrop = localTime + 0.25;
        const float x = Random::fraction() * 600.0f - 300.0f;
        auto* enemy = new GameEntity(-1);
        enemy->position = Vector3{x, 150.0f + Random::fraction() * 80.0f, 0.0f};
        enemy->velocity.x = Random::fraction() * 40.0f - 20.0f;
        enemy->health = enemy->maxHealth = 0.5f;
        enemy->scoreValue = 100;
        enemy->pSkin = GameFx::projectileSkin(2);
        layer(kEnemyList)->addChild(enemy);
        layer(kEnemyBombList)->addChild(makeBomb(-1, x, 250.0f, 0.0f, 0.0f, -20.0f, 0.0f));
        layer(kEnemyBombList)->addChild(new BomberBomb(Vector3{-x, 260.0f, 0.0f}, Vector3{10.0f, 0.0f, 0.0f}, {}));
        layer(kBombList)->addChild(new Bomb(1, x * 0.5f, 240.0f, 0.0f, 0.0f, 0.0f, 0.0f));
        layer(kEffectList)
            ->addChild(new FlareBurst(x, 200.0f, 0.0f, 6, 25.0f, 50.0f, 0.0f, 6.2831855f, 1.0f, 0xFFFFC040u));
    }
    // Shots against enemies and enemy bombs, bombs of either kind against the palms.
    void collide() override {
        for (int shots : {kPlayerShotList, kBulletList, kCannonShellList})
            for (int targets : {kEnemyList, kEnemyBombList}) pair(shots, targets);
        for (int bombs : {kEnemyBombList, kBombList}) pair(bombs, kPalmList);
    }
    void pair(int a, int b) {
        for (BasicLink* i = layer(a)->firstChild; i; i = i->next)
            for (BasicLink* j = layer(b)->firstChild; j; j = j->next) {
                auto* x = dynamic_cast<GameEntity*>(static_cast<QorBase*>(i));
                auto* y = dynamic_cast<GameEntity*>(static_cast<QorBase*>(j));
                if (!x || !y || x->pendingDelete || y->pendingDelete || !x->collide(y)) continue;
                x->onCollision(y);
                y->onCollision(x);
            }
    }
    double nextDrop = 0.0;
};

class FullSceneDeterminism : public ArmedGame {
protected:
    FullSceneDeterminism() {
        addSilentSounds({u"treeBurn", u"nyuck", u"bombWhistle"});
        engine.addSkin(u"island", 256, 64);
    }

    // The digest of `frames` frames of 1/64 s of the scene from `seed` (a step that the
    // engine clock adds up exactly, however long the test has run); `kinds` collects the
    // classes of everything that was in the lists at some frame.
    std::uint64_t run(std::uint32_t seed, int frames, std::set<std::string>& kinds) {
        Random::seed(seed);
        auto& scene = engine.startGame<FullScene>();
        game = &scene;
        scene.startGame(nullptr);
        for (int s = 0; s < 2; ++s) {
            auto* island = new Renderable();
            island->pSkin = static_cast<Skin*>(qor->pResourceManager->find(true, u"island"));
            island->setPosition(s == 0 ? -250.0f : 250.0f, -20.0f, 0.0f);
            scene.layer(GameController::kIslandList)->addChild(island);
            PlayerData& side = *scene.playerData[s];
            side.pIsland = island;
            side.createPalms(3, 0);
            auto* cannon = new SweepingCannon(s);
            cannon->setPosition(island->position.x, 10.0f, 0.0f);
            cannon->setWeapon(Weapon::createFromType(0, s));
            scene.layer(GameController::kVehicleList)->addChild(cannon);
            side.pVehicle = cannon;
        }
        auto* car = new ZeppelinPart(2.0f);
        car->setPosition(0.0f, 180.0f, 0.0f);
        scene.layer(GameController::kEnemyList)->addChild(car);
        Outcome out;
        for (int f = 0; f < frames; ++f) {
            engine.stepGame(1.0 / 64.0);
            for (int l = 0; l < GameController::kLayerCount; ++l)
                for (BasicLink* c = scene.layer(l)->firstChild; c; c = c->next) kinds.insert(typeid(*c).name());
        }
        for (int l = 0; l < GameController::kLayerCount; ++l)
            for (BasicLink* c = scene.layer(l)->firstChild; c; c = c->next) mixState(out, static_cast<QorBase*>(c));
        for (const PlayerData* p : scene.playerData) out.mix(p->getScore()), out.mix(p->livePalms);
        out.mix(Random::state());
        return out.hash;
    }

    static void mixParticles(Outcome& out, const EffectParticle* particles, int count) {
        out.mix(count);
        for (int i = 0; i < count; ++i)
            for (float v : {particles[i].position.x, particles[i].position.y, particles[i].life}) out.mix(v);
    }
    static void mixState(Outcome& out, QorBase* object) {
        if (auto* e = dynamic_cast<GameEntity*>(object))
            for (float v : {e->position.x, e->position.y, e->velocity.x, e->velocity.y, e->heading, e->health})
                out.mix(v);
        if (auto* effect = dynamic_cast<SpriteEffect*>(object))
            mixParticles(out, effect->particles.get(), effect->particleCount);
        if (auto* splash = dynamic_cast<Splash*>(object))
            mixParticles(out, splash->particles.get(), splash->particleCount);
    }
};
}  // namespace

TEST_F(FullSceneDeterminism, EveryKindOfObjectTogetherReachesTheSameStateEveryRun) {
    std::set<std::string> kinds;
    const std::uint64_t first = run(77, 900, kinds);
    for (const std::type_info* kind :
         {&typeid(CannonShell), &typeid(Bullet), &typeid(BubbleProjectile), &typeid(LaserBeam), &typeid(LightningBolt),
          &typeid(Missile), &typeid(Bomb), &typeid(BomberBomb), &typeid(ZeppelinPart), &typeid(Palm),
          &typeid(SpriteEffect), &typeid(Splash), &typeid(FlareBurst)})
        EXPECT_EQ(kinds.count(kind->name()), 1u) << kind->name();
    EXPECT_LT(game->playerData[0]->livePalms, 3);  // the bombs found palms
    std::set<std::string> again;
    EXPECT_EQ(run(77, 900, again), first);
    // The state this build reaches (also with the sanitizers); a change is a change of
    // behaviour.
    EXPECT_EQ(first, 0x2e5ff4a307f4c470ull) << std::hex << first;
}
