#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/Quad.h"
#include "render/QuadGrid.h"
#include "render/Renderable.h"
#include "render/Texture.h"

namespace {

// A quad of w x h units with a UV rectangle, on no texture.
Quad* cell(float w, float h, std::array<float, 4> uv = {0.0f, 0.0f, 1.0f, 1.0f}) {
    auto* q = new Quad();
    q->uvRect = uv;
    q->setSize(w, h);
    return q;
}

class QuadGridTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (Quad* q : owned) q->destroy();
    }
    Quad* make(float w, float h, std::array<float, 4> uv = {0.0f, 0.0f, 1.0f, 1.0f}) {
        owned.push_back(cell(w, h, uv));
        return owned.back();
    }
    Qor engine{Qor::Headless{}};
    std::vector<Quad*> owned;
};

TEST_F(QuadGridTest, CellsArePlacedRowByRowAroundTheCentre) {
    QuadGrid grid;
    grid.setSize(2, 2);
    for (int i = 0; i < 4; ++i) grid.cells[i] = make(256, 128, {0.0f, 0.0f, 1.0f, 0.5f});
    grid.layout();
    EXPECT_FLOAT_EQ(grid.width, 512.0f);
    EXPECT_FLOAT_EQ(grid.height, 256.0f);
    const Vertex* v = grid.vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[0].x, -256.0f);
    EXPECT_FLOAT_EQ(v[0].y, 128.0f);
    EXPECT_FLOAT_EQ(v[3].x, 0.0f);
    EXPECT_FLOAT_EQ(v[3].y, 0.0f);
    EXPECT_FLOAT_EQ(v[12].x, 0.0f);  // bottom-right cell
    EXPECT_FLOAT_EQ(v[12].y, 0.0f);
    EXPECT_FLOAT_EQ(v[15].x, 256.0f);
    EXPECT_FLOAT_EQ(v[15].y, -128.0f);
    EXPECT_FLOAT_EQ(v[15].v, 0.5f);
}

TEST_F(QuadGridTest, UnequalCellsJoinEdgeToEdgeAndTheSizeComesFromRowAndColumnZero) {
    QuadGrid grid;
    grid.setSize(2, 2);
    grid.cells = {make(100, 50), make(30, 70), make(10, 20), make(500, 500)};
    grid.layout();
    EXPECT_FLOAT_EQ(grid.width, 130.0f);
    EXPECT_FLOAT_EQ(grid.height, 70.0f);
    const Vertex* v = grid.vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[4].x, 100.0f - 65.0f);  // the second cell starts where the first ends
    // The second row starts below the first row's last cell (70 high).
    EXPECT_FLOAT_EQ(v[8].y, 35.0f - 70.0f);
}

TEST_F(QuadGridTest, AnEmptyGridDrawsNothingAndUnsetCellsAreNoFault) {
    QuadGrid empty;
    empty.setSize(0, 3);
    empty.layout();
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.vertexBuffer.vertices, 0);
    QuadGrid partial;
    partial.setSize(2, 1);
    partial.cells[0] = make(40, 40);
    partial.layout();
    EXPECT_FLOAT_EQ(partial.width, 40.0f);
    // Shrinking keeps the first cells.
    partial.setSize(1, 1);
    EXPECT_EQ(partial.cells.size(), 1u);
    EXPECT_EQ(partial.vertexBuffer.vertices, 4);
}

// ---- pictures -------------------------------------------------------------------------

class QuadGridPictureTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\nbBilinearFilter=Yes\n";
    }
};

TEST_F(QuadGridPictureTest, APictureLargerThanTheLimitDrawsSeamlesslyOverItsTiles) {
    const std::string file = dataHome + "/ramp.tga";
    {
        // A smooth ramp across 700 pixels: any seam between tiles breaks its steps.
        MemoryImageFile ramp(700, 120);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 700; ++x)
                ramp.at(x, y) =
                    0xFF000000u | static_cast<UColor>(x * 255 / 699) << 16 | static_cast<UColor>(y * 2) << 8 | 0x40u;
        ramp.saveTGA(utf8ToWide(file));
    }
    qor->pFileManager->bDiskOnly = 1;
    auto* scene = new Context();
    scene->clearColor = 0xFF000000u;
    auto* texture = new Texture(0, utf8ToWide(file));
    scene->addChild(texture);
    ASSERT_EQ(texture->pTiles->countChildren(), 3);
    auto* r = new Renderable();
    r->pSkin = texture->skins[0];
    scene->addChild(r);
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    ASSERT_EQ(w, 800);
    // Along the middle row the red ramp rises steadily from one end of the picture to
    // the other: no step larger than the ramp's own, no fall, across both seams.
    const int y = h / 2;
    int previous = -1, largestStep = 0;
    for (int x = 52; x < 748; ++x) {
        const int red = static_cast<int>((pixels[static_cast<std::size_t>(y) * w + x] >> 16) & 0xFF);
        if (previous >= 0) {
            EXPECT_GE(red, previous) << "at x " << x;
            largestStep = std::max(largestStep, red - previous);
        }
        previous = red;
    }
    EXPECT_LE(largestStep, 2);
    scene->destroy();
}

}  // namespace
