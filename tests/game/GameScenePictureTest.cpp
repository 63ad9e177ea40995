// One still scene of the game drawn with the game's own pictures: the program runs to its
// title menu (which loads every texture), then a game holds an island with its palms, a
// cannon that has just fired, shots of every kind in flight, a beam, bombs, explosions,
// smoke, a splash and a flare burst. Time is stepped by hand in binary fractions of a
// second from a seeded generator, so the picture is the same on every run.
#include <gtest/gtest.h>

#include <numbers>

#include "engine/FileManager.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "game/Bomb.h"
#include "game/BubbleProjectile.h"
#include "game/Bullet.h"
#include "game/Cannon.h"
#include "game/CannonShell.h"
#include "game/FlareBurst.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/LaserBeam.h"
#include "game/LightningBolt.h"
#include "game/Missile.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/Weapon.h"
#include "platform/GraphicsDevice.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/ReferenceImage.h"
#include "render/Skin.h"
#include "render/Texture.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/ProgramFixture.h"
#include "ui/Snowfall.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class GameScenePicture : public ProgramFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=400\nvideoModeHeight=240\n"
               "[Qor]\ndefaultLanguage=0\nbEnableDelayedLoad=No\n";
    }
    std::pair<int, int> windowSize() const override { return {400, 240}; }

    // The island, three palms (one burning), the cannon and what is in the air.
    void buildScene(GameController& game) {
        auto* island = new Renderable();
        auto* islandTexture = static_cast<Texture*>(qor->resources().find(true, u"island"));
        island->pSkin = static_cast<Skin*>(qor->resources().find(true, u"island:all"));
        island->setPosition(0.0f, 21.0f - 0.5f * islandTexture->skins[0]->height, 0.0f);
        game.layer(GameController::kIslandList)->addChild(island);
        PlayerData& side = *game.playerData[0];
        side.pIsland = island;
        side.createPalms(3, 1);
        side.palms[1]->burn(nullptr);
        auto* cannon = new Cannon(0);
        cannon->setWeapon(Weapon::createFromType(0, 0));
        cannon->heading = 0.35f * kPi;
        cannon->bControlsEnabled = 0;  // it stays as aimed
        game.layer(GameController::kVehicleList)->addChild(cannon);
        side.pVehicle = cannon;
        inFlight(game);
    }
    static void inFlight(GameController& game) {
        QorBase& shots = *game.layer(GameController::kPlayerShotList);
        shots.addChild(new CannonShell(0, -120.0f, 120.0f, 0.0f, 150.0f, 60.0f, 0.0f));
        shots.addChild(new Bullet(0, 60.0f, 140.0f, 0.0f, 300.0f, 200.0f, 0.0f));
        shots.addChild(new Missile(0, 120.0f, 90.0f, 0.0f, 0.2f * kPi, 300.0f));
        shots.addChild(new BubbleProjectile(0, -60.0f, 170.0f, 0.0f, 0.6f * kPi, 100.0f));
        game.layer(GameController::kBombList)->addChild(new Bomb(1, -170.0f, 150.0f, 0.0f, 40.0f, -30.0f, 0.0f));
        QorBase& effects = *game.layer(GameController::kEffectList);
        effects.addChild(new SpriteEffect(160.0f, 170.0f, 0.0f, 6, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 1.0f));
        effects.addChild(
            SpriteEffect::createSmoke(-150.0f, 60.0f, 0.0f, 6, 10.0f, 30.0f, kPi / 2, kPi / 2, 1.0f, 0xFFC0C0C0u));
        effects.addChild(new Splash(200.0f, -25.0f, 0.0f, 20, 0.0f, 200.0f, kPi / 2, kPi / 2, 1.0f));
        effects.addChild(new FlareBurst(-40.0f, 200.0f, 0.0f, 10, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 2.0f, 0xFFFFD080u));
    }

    // A frame of `dt` seconds of the game, ticked as the screen stack ticks its top screen.
    static void step(GameController& game, double dt) {
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += dt;
        game.tick(0.0, 0.0);
    }
};
}  // namespace

TEST_F(GameScenePicture, AnIslandUnderFire) {
    ASSERT_TRUE(skipToTheTitle());
    Random::seed(4711);
    auto* game = new GameController();
    static_cast<GameGlobal*>(global)->pCurrentGame = game;
    global->pContextManager->addChild(game);
    game->pScene->camera()->setPosition(0.0f, 90.0f, -320.0f);
    buildScene(*game);
    qor->timer.frameStart = 0.0;  // steps of 1/64 s from 0 add up exactly, run after run
    for (int i = 0; i < 8; ++i) step(*game, 1.0 / 64.0);
    // The beams live a quarter of a second: fired just before the picture is taken.
    QorBase& beams = *game->layer(GameController::kBeamList);
    beams.addChild(new LaserBeam(0, 30.0f, 40.0f, 0.0f, 0.2f * kPi));
    beams.addChild(new LightningBolt(0, -30.0f, 40.0f, 0.0f, 0.75f * kPi));
    step(*game, 1.0 / 64.0);
    int w = 0, h = 0;
    const std::uint32_t drawn = Random::state();
    const std::vector<std::uint32_t> pixels = drawOffScreen(*game, w, h);
    EXPECT_EQ(Random::state(), drawn);  // drawing takes nothing from the world's generator
    EXPECT_TRUE(ReferenceImage::matches("game-island-under-fire", pixels, w, h, 24, 200));
}

TEST_F(GameScenePicture, AHighCameraSeesTheSkyMeetTheGreyAboveIt) {
    ASSERT_TRUE(skipToTheTitle());
    Random::seed(4711);
    auto* game = new GameController();
    static_cast<GameGlobal*>(global)->pCurrentGame = game;
    global->pContextManager->addChild(game);
    // From y = -20 to 820: the island at the bottom, the sky's top (y = 511) above the middle.
    game->pScene->camera()->setPosition(0.0f, 400.0f, -700.0f);
    buildScene(*game);
    for (BasicLink* c = game->pScene->firstChild; c; c = c->next)
        if (auto* snow = dynamic_cast<Snowfall*>(static_cast<QorBase*>(c))) snow->flakes.clear();
    qor->timer.frameStart = 0.0;
    step(*game, 1.0 / 64.0);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = drawOffScreen(*game, w, h);
    EXPECT_TRUE(ReferenceImage::matches("game-sky-meets-the-grey", pixels, w, h, 24, 200));
}

// The title menu's own scene (sky, sea, snow and the menu over them) is opaque throughout:
// a TGA screenshot carries full alpha everywhere and the very colours of a BMP taken of
// the same frame.
TEST_F(GameScenePicture, TgaScreenshotsOfTheTitleMenuAreOpaqueWithTheFramesColours) {
    ASSERT_TRUE(skipToTheTitle());
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));  // the iris is open
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(runOneMoreFrame());  // the sky keeps its picture
    qor->pFileManager->bDiskOnly = 1;                            // the screenshots are read back from disk
    const std::string tga = home.file("title.tga"), bmp = home.file("title.bmp");
    QorGraphics& g = qor->graphics();
    Context* scene = global->scene();
    g.dxDevice->beginScene();
    g.clear();
    scene->frameRender();
    ASSERT_TRUE(g.saveScreenshot(scene, utf8ToWide(bmp)));
    ASSERT_TRUE(g.saveScreenshot(scene, utf8ToWide(tga)));
    g.dxDevice->endScene();
    const MemoryImageFile withAlpha(0, utf8ToWide(tga)), plain(0, utf8ToWide(bmp));
    ASSERT_EQ(withAlpha.width, plain.width);
    ASSERT_EQ(withAlpha.height, plain.height);
    ASSERT_NE(plain.at(plain.width / 2, 2), 0u) << "the sky, not a black screen";
    int translucent = 0, recoloured = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x) {
            translucent += withAlpha.at(x, y) >> 24 != 0xFFu;
            recoloured += (withAlpha.at(x, y) & 0x00FFFFFFu) != (plain.at(x, y) & 0x00FFFFFFu);
        }
    EXPECT_EQ(translucent, 0);
    EXPECT_EQ(recoloured, 0);
}
