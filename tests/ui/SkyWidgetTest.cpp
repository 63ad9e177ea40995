#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/DeviceTexture.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/Texture.h"
#include "ui/SkyWidget.h"
#include "ui/StackFixture.h"

namespace {
constexpr std::uint32_t kSkyBlue = 0xFF4080C0u, kSeaGreen = 0xFF208060u, kRed = 0xFFFF0000u;

// The backdrop alone on a scene, the camera looking at (0, 100): tiles are centred on
// their places, so the sky covers the middle of the window and one sea tile sits in it.
class SkyWidgetTest : public StackFixture {
protected:
    void SetUp() override {
        StackFixture::SetUp();
        if (!started) return;
        sky = registerTexture(u"sky", 256, 256, kSkyBlue);
        addSkin(sky, u"sky", 0, 0, 0, 256, 256);
        Texture* sea = registerTexture(u"sea", 64, 64, kSeaGreen);
        addSkin(sea, u"sea", 0, 0, 0, 64, 64);
        addSkin(sea, u"sea", 1, 0, 0, 64, 64);
        scene = new Context();
        owned->addChild(scene);
        scene->pCamera->position = Vector3{0.0f, 100.0f, -400.0f};
        scene->pCamera->target = Vector3{0.0f, 100.0f, 0.0f};
        scene->addChild(new SkyWidget());
    }
    // Paints every texel of the sky's device texture red, behind the engine's back.
    void repaintSky() {
        const std::vector<std::uint32_t> red(256 * 256, kRed);
        ASSERT_NE(sky->dxTexture, nullptr);
        sky->dxTexture->update(0, 0, 256, 256, red.data(), 256);
    }
    Texture* sky = nullptr;
    Context* scene = nullptr;
};
}  // namespace

TEST_F(SkyWidgetTest, AStillCameraKeepsThePictureAndAMovedOneDrawsItAfresh) {
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> drawn = backBuffer(w, h);
    EXPECT_EQ(pixelAt(120, 60), kSkyBlue);
    runFrame(scene);  // drawn alike twice: kept
    repaintSky();
    runFrame(scene);
    EXPECT_EQ(backBuffer(w, h), drawn) << "the kept picture, not the repainted texture";
    scene->pCamera->position.x += 1.0f;
    scene->pCamera->target.x += 1.0f;
    runFrame(scene);
    EXPECT_EQ(pixelAt(120, 60), kRed) << "a moved camera draws the tiles again";
    EXPECT_EQ(pixelAt(160, 136), kSeaGreen);
}

TEST_F(SkyWidgetTest, ThePictureGoesWithTheDeviceTexturesAndIsDrawnAgainAfter) {
    runFrame(scene);
    runFrame(scene);
    // The sky's own pixels, from which its device texture comes back, turn red.
    MemoryImageFile* pixels = sky->getSavedSourceData();
    std::fill_n(pixels->pImageData.get(), 256 * 256, kRed);
    qor->changeQORmode(Qor::MODE_PAUSED);
    qor->changeQORmode(Qor::MODE_FROZEN);
    qor->changeQORmode(Qor::MODE_OK);
    runFrame(scene);
    EXPECT_EQ(pixelAt(120, 60), kRed);
}
