// The zeppelin and its cars: what a car's loss does, the hull that takes no damage,
// the wrap at the right edge, the loads it drops and the blast that ends the wave's
// remaining groups.
#include <gtest/gtest.h>

#include "engine/Random.h"
#include "game/AnnouncementText.h"
#include "game/AtomBomb.h"
#include "game/BomberBomb.h"
#include "game/EnemyWorld.h"
#include "game/PropelledBomb.h"
#include "game/SpriteEffect.h"
#include "game/Zeppelin.h"
#include "game/ZeppelinPart.h"

namespace {
class ZeppelinTest : public EnemyWorld {
protected:
    void SetUp() override {
        plantPalms(1);
        Random::seed(5);
    }
    Zeppelin& launch(std::uint32_t variant = 0) { return release<Zeppelin>(EnemySpawner::kZeppelin, 1.0f, variant); }
    std::vector<ZeppelinPart*> parts() {
        std::vector<ZeppelinPart*> found;
        for (BasicLink* c = list(GameController::kEnemyList).firstChild; c; c = c->next)
            if (auto* p = dynamic_cast<ZeppelinPart*>(c)) found.push_back(p);
        return found;
    }
};

class ZeppelinVariant : public ZeppelinTest, public ::testing::WithParamInterface<int> {};
}  // namespace

TEST_F(ZeppelinTest, ItEntersAboveTheViewWithFourCarsWhosePointsCountAsReleased) {
    Zeppelin& z = launch();
    EXPECT_GT(z.position.y, 240.0f);
    EXPECT_LT(z.position.x, -400.0f);
    EXPECT_EQ(z.partsLeft, 4);
    EXPECT_EQ(game->targetsReleased, 1 + 4 * ZeppelinPart::kScoreValue);
    for (ZeppelinPart* p : parts()) {
        EXPECT_EQ(p->maxHealth, 7.0f);
        EXPECT_EQ(p->owner.get(), &z);
        EXPECT_TRUE(p->isHostile());
    }
    // The cars stand in front of the hull in the list: drawn first.
    EXPECT_EQ(list(GameController::kEnemyList).lastChild, &z);
}

TEST_F(ZeppelinTest, TheHullShrugsOffDamageAndTheFourthCarLostSinksItOnceAnnounced) {
    Zeppelin& z = launch();
    z.takeDamage(nullptr, 5000.0f);
    EXPECT_EQ(z.health, z.maxHealth);
    std::vector<ZeppelinPart*> cars = parts();
    for (std::size_t i = 0; i < 3; ++i) cars[i]->takeDamage(nullptr, 7.0f);
    EXPECT_EQ(z.state, Zeppelin::kCruising);
    EXPECT_FALSE(game->pAnnouncement->isShowing());
    cars[3]->takeDamage(nullptr, 7.0f);
    EXPECT_EQ(z.state, Zeppelin::kSinking);
    EXPECT_EQ(z.acceleration.y, -0.5f);
    EXPECT_EQ(game->pAnnouncement->text, u"Excellent!");
    game->pAnnouncement->elapsed = game->pAnnouncement->duration;
    z.onPartDestroyed();  // a stray report changes nothing
    EXPECT_FALSE(game->pAnnouncement->isShowing());
}

TEST_F(ZeppelinTest, PastTheRightEdgeItComesBackOnTheLeftBetweenWaterAndTop) {
    Zeppelin& z = launch();
    z.setPosition(431.0f, 300.0f, 0.0f);
    run(1);
    EXPECT_GT(z.position.x, 400.0f);
    z.setPosition(433.0f, 300.0f, 0.0f);
    run(1);
    EXPECT_LT(z.position.x, -400.0f);
    EXPECT_TRUE(z.position.y > -25.0f && z.position.y < 240.0f) << z.position.y;
}

TEST_P(ZeppelinVariant, EachVariantDropsItsLoadWorthNothingButHostile) {
    const int variant = GetParam();
    Zeppelin& z = launch(static_cast<std::uint32_t>(variant));
    EXPECT_EQ(parts()[0]->maxHealth, static_cast<float>(variant) / 4.0f * 7.0f + 7.0f);
    const double interval = Zeppelin::dropIntervalFor(static_cast<std::uint32_t>(variant));
    z.dropTimer = interval - 0.01;
    run(1);
    const int atoms = countIn<AtomBomb>(GameController::kEnemyList);
    const int rockets = countIn<PropelledBomb>(GameController::kEnemyList);
    const int bombs = countIn<BomberBomb>(GameController::kEnemyBombList);
    EXPECT_EQ(atoms, variant == 0 || variant == 3 ? 8 : 0);
    EXPECT_EQ(rockets, variant == 2 || variant == 4 ? 1 : 0);
    EXPECT_EQ(bombs, variant == 1 ? 1 : 0);
    for (BasicLink* c = list(GameController::kEnemyList).firstChild; c; c = c->next) {
        auto* e = dynamic_cast<Enemy*>(c);
        if (dynamic_cast<AtomBomb*>(e) || dynamic_cast<PropelledBomb*>(e)) {
            EXPECT_EQ(e->scoreValue, 0);
            EXPECT_TRUE(e->isHostile());
            // Dropped under the hull, within the span of its cars.
            EXPECT_NEAR(e->position.y, z.position.y, 1.0f);
        }
    }
    EXPECT_EQ(game->targetsReleased, 1 + 4 * ZeppelinPart::kScoreValue);
}

INSTANTIATE_TEST_SUITE_P(Variants, ZeppelinVariant, ::testing::Range(0, 5));

TEST_F(ZeppelinTest, SinkingItBurstsAtIntervalsThenItsBlastEndsEveryWaitingGroup) {
    auto* spawners = new QorBase();
    game->pScene->addChildFirst(spawners);
    spawners->addChild(new EnemySpawner(EnemySpawner::kBiplane, 3, 1, true, 0.5f, 0u, 50.0, 60.0));
    launch();
    const int released = game->targetsReleased;
    for (ZeppelinPart* p : parts()) p->takeDamage(nullptr, 7.0f);
    run(1);
    EXPECT_EQ(countIn<SpriteEffect>(GameController::kEffectList) + countIn<SpriteEffect>(GameController::kSmokeList),
              5);  // four cars and the first burst
    run(318);      // 4.98 s
    EXPECT_GT(countIn<SpriteEffect>(GameController::kEffectList) + countIn<SpriteEffect>(GameController::kSmokeList),
              13);  // a burst every 0.05 to 0.55 s
    EXPECT_NE(spawners->firstChild, nullptr);
    run(2);
    EXPECT_EQ(countIn<Zeppelin>(GameController::kEnemyList), 0);
    EXPECT_EQ(spawners->firstChild, nullptr);
    EXPECT_EQ(game->targetsReleased, released);
}
