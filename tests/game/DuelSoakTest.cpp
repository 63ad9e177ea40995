// A seeded duel between computer vehicles, stepped frame by frame, must reach the same
// state on every run, and the computer players must get somewhere: bombs burn palms,
// shells and bullets bring planes down.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/Random.h"
#include "game/CannonAI.h"
#include "game/DuelWorld.h"
#include "game/PlaneAI.h"
#include "game/PlaneAIDogfight.h"
#include "game/WeaponBombBay.h"
#include "game/WeaponCannon.h"
#include "game/WeaponPlaneGun.h"

namespace {
// The Duel's hit rules: bombs on palms of the other side, shells and bullets on planes.
class DuelRules : public DuelRecordingController {
public:
    void collide() override {
        pair(kBombList, kPalmList);
        pair(kCannonShellList, kPlaneList);
        pair(kBulletList, kPlaneList);
    }
    void pair(int a, int b) {
        for (BasicLink* i = layer(a)->firstChild; i; i = i->next)
            for (BasicLink* j = layer(b)->firstChild; j; j = j->next) {
                auto* x = dynamic_cast<GameEntity*>(static_cast<QorBase*>(i));
                auto* y = dynamic_cast<GameEntity*>(static_cast<QorBase*>(j));
                auto* v = dynamic_cast<Vehicle*>(y);
                auto* palm = dynamic_cast<Palm*>(y);
                if (!x || !y || x->pendingDelete || x->side == y->side) continue;
                if ((v && !v->isOperational()) || (palm && !palm->isStanding()) || !x->collide(y)) continue;
                x->onCollision(y);
                y->onCollision(x);
                break;
            }
    }
};

class DuelSoakTest : public DuelWorld {
protected:
    struct Outcome {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        int palmsLost = 0, planesDown = 0;
        void mix(float v) {
            const auto* b = reinterpret_cast<const std::uint8_t*>(&v);
            for (std::size_t i = 0; i < sizeof v; ++i) hash = (hash ^ b[i]) * 1099511628211ull;
        }
    };
    Outcome run(std::uint32_t seed, bool dogfight, int frames) {
        auto& rules = engine.startGame<DuelRules>();
        game = recorder = &rules;
        Random::seed(seed);
        for (int s = 0; s < 2; ++s) {
            auto* island = new Renderable();
            island->setPosition(s == 0 ? -300.0f : 300.0f, 0.0f, 0.0f);
            list(GameController::kIslandList).addChild(island);
            player(s).pIsland = island;
            player(s).createPalms(3, 0);
        }
        Plane* planes[2] = {};
        if (dogfight) {
            for (int s = 0; s < 2; ++s) {
                planes[s] = &enlist(GameController::kPlaneList, new PlaneAIDogfight(s), s ? 300.0f : -300.0f, 200.0f);
                planes[s]->setWeapon(new WeaponPlaneGun(s));
            }
        } else {
            planes[1] = &enlist(GameController::kPlaneList, new PlaneAI(1), 300.0f, 200.0f);
            planes[1]->setWeapon(new WeaponBombBay(1));
            enlist(GameController::kVehicleList, new CannonAI(0), -300.0f, 0.0f).setWeapon(new WeaponCannon(0));
        }
        game->aiSkill = 1.0f;
        for (int f = 0; f < frames; ++f) engine.stepGame(1.0 / 64.0);
        Outcome out;
        for (int s = 0; s < 2; ++s) {
            out.palmsLost += 3 - player(s).livePalms;
            if (planes[s]) out.mix(planes[s]->position.x), out.mix(planes[s]->position.y), out.mix(planes[s]->heading);
        }
        out.planesDown = static_cast<int>(recorder->downed.size());
        return out;
    }
};
}  // namespace

TEST_F(DuelSoakTest, ComputerPlayersBombAndShootAndRepeatThemselves) {
    const Outcome bombing = run(99, false, 64 * 40);
    EXPECT_GT(bombing.palmsLost, 0);
    EXPECT_EQ(run(99, false, 64 * 40).hash, bombing.hash);
    const Outcome dogfight = run(99, true, 64 * 40);
    EXPECT_GT(dogfight.planesDown, 0);
    EXPECT_EQ(run(99, true, 64 * 40).hash, dogfight.hash);
}
