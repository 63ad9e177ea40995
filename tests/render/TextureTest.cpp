#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>

#include "EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/QuadGrid.h"
#include "render/Renderable.h"
#include "render/SkinRecord.h"
#include "render/Texture.h"
#include "support/BareEngine.h"

namespace {

// A w x h TGA whose pixels encode their own position: red = x / 4 (capped), green = y,
// blue = x & 0xFF, so that a wrong source pixel shows.
void writePicture(const std::u16string& name, int w, int h) {
    MemoryImageFile image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y) = 0xFF000000u | static_cast<UColor>(std::min(x / 4, 255)) << 16 |
                             static_cast<UColor>(y & 0xFF) << 8 | static_cast<UColor>(x & 0xFF);
    image.saveTGA(name);
}

const Quad* quadOf(const Skin* s) { return static_cast<const Quad*>(s); }

TEST(TextureTest, ASmallImageGetsOneDeviceTextureOfTheLimitAndAWholeImageSkin) {
    BareEngine bare;
    writePicture(u"small.tga", 100, 40);
    Texture t(0, u"small.tga");
    EXPECT_EQ(t.realWidth, 256);
    EXPECT_EQ(t.realHeight, 256);
    EXPECT_EQ(t.width, 256);
    ASSERT_EQ(t.skins.size(), 1u);
    const Quad* q = quadOf(t.skins[0]);
    EXPECT_FLOAT_EQ(q->uvRect[0], 0.0f);
    EXPECT_FLOAT_EQ(q->uvRect[2], 100.0f / 256.0f);
    EXPECT_FLOAT_EQ(q->uvRect[3], 40.0f / 256.0f);
    EXPECT_FLOAT_EQ(q->width, 100.0f);
    EXPECT_EQ(t.pTiles->firstChild, nullptr);
    EXPECT_EQ(t.bHasAlpha, 1);
}

TEST(TextureTest, SkinFilesGiveSkinsInOrderWithTheirOriginMoves) {
    BareEngine bare;
    writePicture(u"sheet.tga", 64, 64);
    writeText("sheet.tga.ini",
              "[Skin 0]\nleft=0\ntop=0\nwidth=10\nheight=10\n[Skin 1]\nleft=10\ntop=0\nwidth=11\nheight=9\n"
              "[Skin 2]\nleft=0\ntop=20\nwidth=8\nheight=8\norigin_adjust_x=2\norigin_adjust_y=3\n");
    Texture t(0, u"sheet.tga");
    ASSERT_EQ(t.skins.size(), 3u);
    EXPECT_EQ(quadOf(t.skins[1])->sourceRect.right, 21);
    EXPECT_EQ(quadOf(t.skins[1])->sourceRect.bottom, 9);
    // Odd sizes move half a pixel right and down; the adjustments move the picture.
    EXPECT_FLOAT_EQ(t.skins[0]->origin.x, 0.0f);
    EXPECT_FLOAT_EQ(t.skins[1]->origin.x, -0.5f);
    EXPECT_FLOAT_EQ(t.skins[1]->origin.y, 0.5f);
    EXPECT_FLOAT_EQ(t.skins[2]->origin.x, -2.0f);
    EXPECT_FLOAT_EQ(t.skins[2]->origin.y, 3.0f);
}

TEST(TextureTest, AWideImageIsTiledWithBordersAndItsSkinsBecomeGrids) {
    BareEngine bare;
    writePicture(u"wide.tga", 600, 200);
    writeText("wide.tga.ini",
              "[Skin 0]\nleft=200\ntop=10\nwidth=100\nheight=50\n[Skin 1]\nleft=0\ntop=0\nwidth=600\n"
              "height=200\n");
    Texture t(0, u"wide.tga");
    std::vector<std::u16string> names;
    for (BasicLink* n = t.pTiles->firstChild; n; n = n->next) names.push_back(static_cast<Texture*>(n)->name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"wide.tga@(0,0)", u"wide.tga@(254,0)", u"wide.tga@(508,0)"}));
    auto* grid = dynamic_cast<QuadGrid*>(t.skins[0]);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->count, 2);
    // Tile texels are one to the right of image pixels: the border column comes first.
    EXPECT_EQ(grid->cells[0]->sourceRect.left, 201);
    EXPECT_EQ(grid->cells[0]->sourceRect.right, 255);
    EXPECT_EQ(grid->cells[1]->sourceRect.left, 1);
    EXPECT_EQ(grid->cells[1]->sourceRect.right, 47);
    EXPECT_EQ(grid->cells[1]->sourceRect.top, 10);  // no split in y, no border
    EXPECT_FLOAT_EQ(grid->width, 100.0f);
    EXPECT_FLOAT_EQ(grid->height, 50.0f);
    EXPECT_EQ(dynamic_cast<QuadGrid*>(t.skins[1])->count, 3);
    EXPECT_FLOAT_EQ(t.skins[1]->width, 600.0f);
}

TEST(TextureTest, WithTheHalvingFlagTheLogicalSizeGrowsAndSkinsKeepTheirPixels) {
    BareEngine bare;
    writePicture(u"big.tga", 600, 200);
    Texture t(Texture::kHalve, u"big.tga");
    EXPECT_EQ(t.scaleFactor, 4);
    EXPECT_EQ(t.width, 1024);
    EXPECT_EQ(t.pTiles->firstChild, nullptr);
    EXPECT_EQ(quadOf(t.skins[0])->sourceRect.right, 600);
    EXPECT_FLOAT_EQ(t.skins[0]->width, 600.0f);
}

TEST(TextureTest, ArchiveBuildingWritesPreloadRecordsThatArchiveModeReadsAlone) {
    BareEngine bare;
    std::filesystem::create_directories("gfx");
    writePicture(u"gfx/pic.tga", 48, 32);
    writeText("gfx/pic.tga.ini", "[Skin 0]\nleft=1\ntop=2\nwidth=3\nheight=4\norigin_adjust_y=-1\n");
    FileManager& builder = bare.useFileManager(1, 0);
    builder.useWad(u"test.dat");
    { Texture t(0, u"gfx/pic.tga"); }
    SkinRecord written;
    std::u16string why;
    const std::vector<std::uint8_t> bytes = readBytes("gfx/pic.tga.preload");
    ASSERT_TRUE(SkinRecord::parse(bytes.data(), bytes.size(), written, why));
    EXPECT_EQ(written.imageWidth, 48);
    EXPECT_EQ(written.skins[0].originAdjustY, -1);
    ASSERT_TRUE(builder.writeWad(u"test.dat", u"test.dat", FileManager::Compression::kStore));
    bare.useFileManager(0, 1).useWad(u"test.dat");
    // In archive mode neither the image nor the skin file is read for the skins.
    std::filesystem::remove("gfx/pic.tga.ini");
    std::filesystem::rename("gfx/pic.tga", "gfx/moved.tga");
    Texture t(0, u"gfx/pic.tga");
    ASSERT_EQ(t.skins.size(), 1u);
    EXPECT_EQ(quadOf(t.skins[0])->sourceRect.bottom, 6);
}

TEST(TextureTest, ADamagedPreloadRecordIsFatal) {
    BareEngine bare;
    writePicture(u"pic.tga", 8, 8);
    std::vector<std::uint8_t> record = SkinRecord::wholeImage(8, 8, 1).encode();
    record[16] = 9;  // nine skins in a record of one
    writeBytes("pic.tga.preload", record);
    FileManager& builder = bare.useFileManager(1, 0);
    builder.useWad(u"bad.dat");
    MemoryFile(0, u"pic.tga.preload");
    MemoryFile(0, u"pic.tga");
    ASSERT_TRUE(builder.writeWad(u"bad.dat", u"bad.dat", FileManager::Compression::kStore));
    bare.useFileManager(0, 1).useWad(u"bad.dat");
    EXPECT_EXIT(Texture(0, u"pic.tga"), testing::ExitedWithCode(255), "pic.tga.preload' is damaged: 9 skins");
}

TEST(TextureTest, BlankTexturesTakeTheirSizeAndRefuseToExceedTheLimit) {
    BareEngine bare;
    Texture blank(100, 60, Texture::kKeepCopy);
    EXPECT_EQ(blank.realWidth, 256);
    EXPECT_EQ(quadOf(blank.skins[0])->sourceRect.right, 100);
    EXPECT_EQ(quadOf(blank.skins[0])->sourceRect.bottom, 60);
    MemoryImageFile* copy = blank.getSavedSourceData();
    EXPECT_EQ(copy->width, 256);
    EXPECT_EQ(copy->at(255, 255), 0u);
    Texture large(400, 300, Texture::kLargeLimit);
    EXPECT_EQ(large.realWidth, 512);
    EXPECT_EXIT(Texture(300, 10, 0), testing::ExitedWithCode(255), "realWidth >= requestedWidth");
    Texture plain(4, 4, 0);
    EXPECT_EXIT(plain.getSavedSourceData(), testing::ExitedWithCode(255), "pSavedSourceData != NULL");
}

// ---- on the drawing device ------------------------------------------------------------

class TextureDeviceTest : public EngineFixture {
protected:
    // Pictures are read from the test's own folder on disk.
    std::u16string path(const std::string& name) const { return utf8ToWide(dataHome + "/" + name); }
    void SetUp() override {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        qor->pFileManager->bDiskOnly = 1;
        qor->bEnableDelayedLoad = false;
    }
};

TEST_F(TextureDeviceTest, TheDeviceRestoreCycleRebuildsTexturesWithTheSamePixels) {
    writePicture(path("wide.tga"), 600, 200);
    const std::int32_t before = textureBytes;
    auto* scene = new Context();
    auto* t = new Texture(0, path("wide.tga"));
    scene->addChild(t);
    auto* tile0 = static_cast<Texture*>(t->pTiles->firstChild);
    ASSERT_NE(tile0->dxTexture, nullptr);
    EXPECT_EQ(textureBytes, before + 3 * 256 * 256 * 4);
    auto* r = new Renderable();
    r->pSkin = t->skins[0];
    scene->addChild(r);
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> first = backBuffer(w, h);
    qor->changeQORmode(Qor::MODE_PAUSED);
    qor->changeQORmode(Qor::MODE_FROZEN);
    EXPECT_EQ(tile0->dxTexture, nullptr);
    EXPECT_EQ(textureBytes, before);
    qor->changeQORmode(Qor::MODE_OK);
    runFrame(scene);
    EXPECT_EQ(backBuffer(w, h), first);
    EXPECT_EQ(textureBytes, before + 3 * 256 * 256 * 4);
    scene->destroy();
    EXPECT_EQ(textureBytes, before);
}

// A purge (a game has closed) gives back the device copies of textures not drawn in the
// last two frames, and the next draw loads them again; a memory file's bytes stay, as
// their owner may still be reading them.
TEST_F(TextureDeviceTest, APurgeReleasesTexturesNotDrawnLatelyButLeavesMemoryFiles) {
    writePicture(path("shown.tga"), 64, 64);
    writePicture(path("gone.tga"), 64, 32);
    auto* scene = new Context();
    auto* shown = new Texture(0, path("shown.tga"));
    auto* gone = new Texture(0, path("gone.tga"));
    auto* file = new MemoryFile(0, path("gone.tga"));
    for (QorBase* o : std::initializer_list<QorBase*>{shown, gone, file}) scene->addChild(o);
    auto* drawsShown = new Renderable();
    drawsShown->pSkin = shown->skins[0];
    auto* drawsGone = new Renderable();
    drawsGone->pSkin = gone->skins[0];
    scene->addChild(drawsShown);
    scene->addChild(drawsGone);
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> first = backBuffer(w, h);
    drawsGone->bHidden = 1;
    qor->purgeResources();
    EXPECT_NE(gone->dxTexture, nullptr) << "drawn in the last frame";
    runFrame(scene);
    runFrame(scene);
    // Without the hidden picture the frame differs, so the frame below shows that it is
    // drawn again.
    EXPECT_NE(backBuffer(w, h), first);
    qor->purgeResources();
    EXPECT_NE(shown->dxTexture, nullptr);
    EXPECT_EQ(gone->dxTexture, nullptr);
    EXPECT_TRUE(file->isLoaded());
    drawsGone->bHidden = 0;
    runFrame(scene);
    EXPECT_EQ(backBuffer(w, h), first);
    scene->destroy();
}

TEST_F(TextureDeviceTest, HalvingIsLoggedForEachStepWhenThePixelsLoad) {
    writePicture(path("big.tga"), 600, 200);
    Texture t(Texture::kHalve, path("big.tga"));
    EXPECT_EQ(t.scaleFactor, 4);
    EXPECT_EQ(t.width, 1024);
    const std::vector<std::uint8_t> bytes = readBytes(wideToUtf8(qor->pLogger->getPath()));
    const std::string log(bytes.begin(), bytes.end());
    const std::size_t first = log.find("Halving texture size (original size: 600x200)");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("Halving texture size (original size: 300x100)", first), std::string::npos);
}

}  // namespace
