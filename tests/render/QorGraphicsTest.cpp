#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "EngineFixture.h"
#include "ReferenceImage.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/GraphicsDevice.h"
#include "platform/PixelFormat.h"
#include "platform/ResultCode.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Renderable.h"
#include "render/Texture.h"
#include "render/VideoMode.h"
#include "support/BareEngine.h"

namespace {
// Counts what the engine tells every object.
class Recorder : public QorBase {
public:
    void onPresentationRestored() override { ++restored; }
    void onQORmodeChange(int oldMode, int newMode) override { steps.push_back(oldMode * 10 + newMode); }
    int restored = 0;
    std::vector<int> steps;
};

class QorGraphicsTest : public EngineFixture {
protected:
    QorGraphics& g() { return *qor->pQorGraphics; }
    // Replaces the mode list, as if the display offered exactly these sizes.
    void useModes(std::initializer_list<std::pair<int, int>> sizes) {
        g().videoModes.deleteChildren();
        for (auto [w, h] : sizes) g().addVideoMode(w, h);
    }
    void fullScreen(int width, int height) {
        g().bFullScreen = 1;
        g().videoModeWidth = width;
        g().videoModeHeight = height;
        ASSERT_TRUE(g().restorePresentation(true));
    }
    // A context with tinted, rotated, overlapping and half-transparent quads.
    Context* makeScene() {
        auto* scene = new Context();
        scene->clearColor = 0xFF203040u;
        addQuad(scene, 300, 200, 0xFFFF0000u, -200, 100);
        addQuad(scene, 200, 200, 0xFF00C000u, 150, -50, 0.5236f);
        addQuad(scene, 400, 100, 0x80FFFFFFu, 0, -150);
        addQuad(scene, 100, 100, 0xFFFFFF00u, 380, 230);
        return scene;
    }
    void expectPicture(const char* name) {
        Context* scene = makeScene();
        runFrame(scene);
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = backBuffer(w, h);
        EXPECT_TRUE(ReferenceImage::matches(name, pixels, w, h));
        scene->destroy();
    }
};

TEST_F(QorGraphicsTest, FullScreenModesAreLetterboxedOrPillarboxedOnlyWhenFarFromFiveToThree) {
    useModes({{1024, 768}, {1280, 720}, {1366, 768}, {2560, 1080}});
    struct Case {
        int w, h, left, top, right, bottom;
    };
    for (const Case& c : {Case{1024, 768, 0, 77, 1024, 691}, Case{2560, 1080, 381, 0, 2179, 1080},
                          Case{1280, 720, 0, 0, 1280, 720}, Case{1366, 768, 0, 0, 1366, 768}}) {
        g().calcClosestMatchParameters(true, c.w, c.h);
        EXPECT_EQ(g().backBufferWidth, c.w);
        EXPECT_EQ(g().viewportLeft, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(g().viewportTop, c.top) << c.w << "x" << c.h;
        EXPECT_EQ(g().viewportRight, c.right) << c.w << "x" << c.h;
        EXPECT_EQ(g().viewportBottom, c.bottom) << c.w << "x" << c.h;
        EXPECT_EQ(g().viewportWidth, c.right - c.left);
    }
    g().calcClosestMatchParameters(true, 1024, 768);
    EXPECT_FLOAT_EQ(g().viewportAspect, 614.0f / 1024.0f);
    g().bAllowLetterbox = 0;
    g().calcClosestMatchParameters(true, 1024, 768);
    EXPECT_EQ(g().viewportHeight, 768);
}

TEST_F(QorGraphicsTest, FullScreenTakesTheLargestModeThatFitsOrElseTheSmallest) {
    useModes({{640, 480}, {800, 600}, {1024, 768}});
    g().calcClosestMatchParameters(true, 1000, 700);
    EXPECT_EQ(g().videoModeWidth, 800);
    EXPECT_EQ(g().videoModeHeight, 600);
    g().calcClosestMatchParameters(true, 300, 200);
    EXPECT_EQ(g().backBufferWidth, 640);
    EXPECT_EQ(g().bFullScreen, 1);
}

// A display larger than the device draws (several screens side by side, say) gets the
// largest back buffer the device takes, of the display's shape, which full screen scales
// up; a start on such a display makes the device at that size instead of failing.
TEST_F(QorGraphicsTest, ABackBufferBeyondTheDevicesLimitsShrinksToThemKeepingItsShape) {
    const GraphicsDevice& d = *g().dxDevice;
    ASSERT_GT(d.maxBackBufferWidth(), 0);
    EXPECT_LE(d.maxBackBufferWidth(), d.maxTextureSize());
    const int wide = d.maxBackBufferWidth() * 2, high = d.maxBackBufferWidth();
    useModes({{640, 480}, {wide, high}});
    g().calcClosestMatchParameters(true, wide, high);
    EXPECT_EQ(g().videoModeWidth, wide) << "the display keeps its mode";
    EXPECT_LE(g().backBufferWidth, d.maxBackBufferWidth());
    EXPECT_LE(g().backBufferHeight, d.maxBackBufferHeight());
    EXPECT_GE(g().backBufferWidth, d.maxBackBufferWidth() - 2);
    EXPECT_NEAR(g().backBufferHeight * 2, g().backBufferWidth, 2);
    EXPECT_EQ(g().viewportBottom, g().backBufferHeight);

    Window& window = *qor->hWindowHandle;
    PresentParameters oversized;
    oversized.backBufferWidth = wide;
    oversized.backBufferHeight = high;
    GraphicsDevice* created = nullptr;
    delete g().dxDevice;  // one context at a time on the window
    g().dxDevice = nullptr;
    ASSERT_GE(GraphicsDevice::create(window, oversized, &created), 0) << GraphicsDevice::lastCreateError();
    g().dxDevice = created;
    EXPECT_EQ(created->testCooperativeLevel(), ResultCode::kDeviceNotReset);
    g().bFullScreen = 0;
    g().videoModeWidth = 320;
    g().videoModeHeight = 192;
    EXPECT_TRUE(g().restorePresentation(true));
    EXPECT_EQ(created->testCooperativeLevel(), ResultCode::kOk);
}

TEST_F(QorGraphicsTest, WindowsKeepTheVirtualShapeAndFitTheWorkArea) {
    g().workArea = WorkArea{0, 0, 1920, 1040};
    g().calcClosestMatchParameters(false, 800, 600);
    EXPECT_EQ(g().backBufferWidth, 800);
    EXPECT_EQ(g().backBufferHeight, 480);
    EXPECT_EQ(g().videoModeHeight, 600) << "the requested height is kept for the settings";
    g().workArea = WorkArea{0, 0, 1000, 700};
    g().calcClosestMatchParameters(false, 1200, 720);
    EXPECT_EQ(g().backBufferWidth, 980);
    EXPECT_EQ(g().backBufferHeight, 588);
    g().workArea = WorkArea{0, 0, 2000, 500};
    g().calcClosestMatchParameters(false, 1000, 600);
    EXPECT_EQ(g().backBufferWidth, 766);
    EXPECT_EQ(g().backBufferHeight, 460);
    g().workArea = WorkArea{0, 0, 10, 10};
    g().calcClosestMatchParameters(false, 800, 480);
    EXPECT_GE(g().backBufferWidth, 2) << "a tiny work area still leaves a window";
    EXPECT_GE(g().backBufferHeight, 2);
}

TEST_F(QorGraphicsTest, PixelScaleFollowsTheViewportWidth) {
    struct Case {
        int w, h;
        float x, y, z;
    };
    for (const Case& c : {Case{800, 480, 1, 1, 1}, Case{640, 384, 0.625f, 0.625f, 0.5f}, Case{1600, 960, 1, 1, 1},
                          Case{1024, 614, 800.0f / 1024.0f, 480.0f / 614.0f, 1}}) {
        g().viewportWidth = c.w;
        g().viewportHeight = c.h;
        g().restorePresentation(false);
        EXPECT_FLOAT_EQ(g().pixelScale.x, c.x) << c.w;
        EXPECT_FLOAT_EQ(g().pixelScale.y, c.y) << c.w;
        EXPECT_FLOAT_EQ(g().pixelScale.z, c.z) << c.w;
    }
}

TEST_F(QorGraphicsTest, WindowPointsMapToTheVirtualScreenClampedToTheViewport) {
    // The default test window: 320 x 192, no bars.
    Vector3 p = g().windowToScreen(0, 0, 7);
    EXPECT_FLOAT_EQ(p.x, 0.0f);
    EXPECT_FLOAT_EQ(p.y, 480.0f);
    EXPECT_FLOAT_EQ(p.z, 7.0f);
    p = g().windowToScreen(160, 96, 0);
    EXPECT_FLOAT_EQ(p.x, 400.0f);
    EXPECT_FLOAT_EQ(p.y, 240.0f);
    p = g().windowToScreen(-50, 500, 0);
    EXPECT_FLOAT_EQ(p.x, 0.0f);
    EXPECT_FLOAT_EQ(p.y, 0.0f);
}

TEST_F(QorGraphicsTest, WindowPointsMapThroughABackBufferShownScaled) {
    // Full screen: a 160 x 96 back buffer fills the 320 x 192 window at double size.
    PresentParameters p = g().dxDevice->presentParameters();
    p.backBufferWidth = 160;
    p.backBufferHeight = 96;
    ASSERT_EQ(g().dxDevice->reset(p), ResultCode::kOk);
    g().viewportLeft = g().viewportTop = 0;
    g().viewportWidth = 160;
    g().viewportHeight = 96;
    Vector3 q = g().windowToScreen(160, 96, 0);
    EXPECT_FLOAT_EQ(q.x, 400.0f);
    EXPECT_FLOAT_EQ(q.y, 240.0f);
    q = g().windowToScreen(320, 0, 0);
    EXPECT_FLOAT_EQ(q.x, 800.0f);
    EXPECT_FLOAT_EQ(q.y, 480.0f);
}

TEST_F(QorGraphicsTest, FormatsHaveTheirNamesAndSizes) {
    EXPECT_EQ(wideToUtf8(QorGraphics::formatName(PixelFormat::kX8R8G8B8)), "D3DFMT_X8R8G8B8");
    EXPECT_EQ(wideToUtf8(QorGraphics::formatName(PixelFormat::kDXT5)), "D3DFMT_DXT5");
    EXPECT_EQ(wideToUtf8(QorGraphics::formatName(PixelFormat::kIndex32)), "D3DFMT_INDEX32");
    EXPECT_EQ(wideToUtf8(QorGraphics::formatName(33)), "unknown(33)");
    EXPECT_EQ(QorGraphics::D3DFORMAT2bits(PixelFormat::kA2B10G10R10), 32);
    EXPECT_EQ(QorGraphics::D3DFORMAT2bits(PixelFormat::kA8R3G3B2), 16);
    EXPECT_EQ(QorGraphics::D3DFORMAT2bits(PixelFormat::kR8G8B8), 0);
}

TEST_F(QorGraphicsTest, OnlyAPresentationChangeAsksForAReset) {
    const int w = g().videoModeWidth, h = g().videoModeHeight;
    g().changePresentationParameters(-1, -1, false, true, true, false);
    EXPECT_FALSE(qor->resetRequest) << "the filter alone applies at once";
    EXPECT_TRUE(g().dxDevice->isLinearFilter());
    g().changePresentationParameters(w, h, false, true, true, false);
    EXPECT_FALSE(qor->resetRequest);
    g().changePresentationParameters(400, -1, false, true, true, false);
    EXPECT_TRUE(qor->resetRequest);
    EXPECT_EQ(g().videoModeHeight, h);
}

TEST_F(QorGraphicsTest, AResetRequestFreezesRestoresAndNotifiesEveryObject) {
    auto* recorder = new Recorder();
    g().changePresentationParameters(400, 240, false, true, false, false);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_FROZEN);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_PAUSED);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_OK);
    EXPECT_EQ(recorder->restored, 1);
    EXPECT_EQ(recorder->steps, (std::vector<int>{32, 21, 12, 23}));
    EXPECT_EQ(g().backBufferWidth, 400);
    int w = 0, h = 0;
    backBuffer(w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 240);
    recorder->destroy();
}

TEST_F(QorGraphicsTest, AFailedResetFallsBackInsteadOfStayingFrozen) {
    g().dxDevice->simulatedResetFailures = 1;
    g().changePresentationParameters(400, 240, false, true, false, false);
    runFrame(nullptr);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_PAUSED) << "restored with the desktop's size";
    EXPECT_EQ(g().videoModeWidth, g().desktopMode.width);

    // Full screen that fails twice ends in a window.
    g().dxDevice->simulatedResetFailures = 2;
    g().bFullScreen = 1;
    EXPECT_TRUE(g().restorePresentation(true));
    EXPECT_EQ(g().bFullScreen, 0);

    // Nothing works this time: the engine stays frozen and tries again.
    runFrame(nullptr);
    g().dxDevice->simulatedResetFailures = 3;
    g().changePresentationParameters(320, 192, false, true, false, false);
    runFrame(nullptr);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_FROZEN);
    runFrame(nullptr);
    EXPECT_EQ(qor->qorMode, Qor::MODE_PAUSED);
}

TEST_F(QorGraphicsTest, LetterboxedPicture) {
    useModes({{200, 150}});
    fullScreen(200, 150);
    EXPECT_EQ(g().viewportTop, 15);
    expectPicture("letterbox-200x150");
}

TEST_F(QorGraphicsTest, PillarboxedPicture) {
    useModes({{300, 100}});
    fullScreen(300, 100);
    EXPECT_EQ(g().viewportLeft, 67);
    expectPicture("pillarbox-300x100");
}

TEST_F(QorGraphicsTest, WindowedPicture) { expectPicture("window-320x192"); }

class QorGraphicsFreshSettingsTest : public EngineFixture {
protected:
    std::string settingsText() const override { return ""; }
};

TEST_F(QorGraphicsFreshSettingsTest, EveryKeyIsWrittenWithItsDefault) {
    MemoryIniFile& s = *qor->pSettings;
    for (const char16_t* key : {u"videoModeWidth", u"videoModeHeight", u"texelAlignment.x", u"texelAlignment.y",
                                u"texelAlignment.z", u"bFullScreen", u"bBilinearFilter", u"bUseHardwareTL",
                                u"bUseVSync", u"bEnableFontCache", u"bSimulate256x256TextureHW", u"bAllowLetterbox"})
        EXPECT_TRUE(s.hasKey(u"QorGraphics", key)) << wideToUtf8(key);
    EXPECT_EQ(s.getInt(u"QorGraphics", u"videoModeWidth"), -1);
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorGraphics", u"texelAlignment.y"), -0.5);
    EXPECT_EQ(qor->pQorGraphics->bFullScreen, 1);
    EXPECT_EQ(qor->pQorGraphics->videoModeWidth, qor->pQorGraphics->desktopMode.width);
}

class QorGraphicsBadSettingsTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth = 99999\nvideoModeHeight=192\n"
               "texelAlignment.x = 1e308\ntexelAlignment.y=nan\n";
    }
};

TEST_F(QorGraphicsBadSettingsTest, NumbersOutOfRangeOrNotFiniteAreReplacedByTheirDefaults) {
    EXPECT_EQ(qor->pQorGraphics->texelAlignment.x, 0.5f);
    EXPECT_EQ(qor->pQorGraphics->texelAlignment.y, -0.5f);
    EXPECT_EQ(qor->pQorGraphics->videoModeWidth, qor->pQorGraphics->desktopMode.width);
    EXPECT_EQ(qor->pSettings->getString(u"QorGraphics", u"texelAlignment.x"), u"0.50000000");
}

class QorGraphicsSafeModeTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=Yes\nvideoModeWidth=1920\nvideoModeHeight=1080\n";
    }
    void SetUp() override {
        setCommandLine(u"Torvane2Xmas", {u"-safe"});
        EngineFixture::SetUp();
    }
    void TearDown() override {
        EngineFixture::TearDown();
        setCommandLine(u"Torvane2Xmas", {});
    }
};

TEST_F(QorGraphicsSafeModeTest, SafeStartsInA800By480WindowAndSavesThat) {
    QorGraphics& g = *qor->pQorGraphics;
    EXPECT_EQ(g.bFullScreen, 0);
    EXPECT_EQ(g.backBufferWidth, 800);
    EXPECT_EQ(g.backBufferHeight, 480);
    MemoryIniFile& s = *qor->pSettings;
    g.saveConfig(s);
    EXPECT_EQ(s.getInt(u"QorGraphics", u"videoModeWidth"), 800);
    EXPECT_EQ(s.getInt(u"QorGraphics", u"videoModeHeight"), 600);
    EXPECT_FALSE(s.getBool(u"QorGraphics", u"bFullScreen"));
}

class QorGraphicsDebugTest : public EngineFixture {
protected:
    std::string settingsText() const override { return EngineFixture::settingsText() + "[Qor]\ndebugCode=47281\n"; }
};

TEST_F(QorGraphicsDebugTest, BarsShowRedWhileDebugging) {
    QorGraphics& g = *qor->pQorGraphics;
    g.videoModes.deleteChildren();
    g.addVideoMode(200, 150);
    g.bFullScreen = 1;
    g.videoModeWidth = 200;
    g.videoModeHeight = 150;
    ASSERT_TRUE(g.restorePresentation(true));
    runFrame(nullptr);
    EXPECT_EQ(pixelAt(100, 5), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(100, 75), 0xFFFF0000u) << "an empty scene leaves the cleared colour";
}
// ---- screenshots and the capability report --------------------------------------------

class QorGraphicsScreenshotTest : public EngineFixture {
protected:
    // A 16 x 16 sprite of colour (200, 100, 50) at alpha 128 over black, drawn whole.
    Context* halfCoveredScene() {
        auto* scene = new Context();
        scene->clearColor = 0xFF000000u;
        Texture* sprite = makeTexture(scene, 16, 16, std::vector<std::uint32_t>(256, 0x80C86432u), true);
        addQuad(scene, 400, 240, 0xFFFFFFFFu, 0, 0, 0.0f, sprite);
        return scene;
    }
    std::u16string file(const std::string& name) const { return utf8ToWide(dataHome + "/" + name); }
    void SetUp() override {
        EngineFixture::SetUp();
        // The screenshots are read back from disk.
        if (!IsSkipped()) qor->pFileManager->bDiskOnly = 1;
    }
    // Draws the scene as the frame loop does and takes the screenshot at the same point.
    void shoot(Context* scene, const std::u16string& path) {
        QorGraphics& g = *qor->pQorGraphics;
        g.dxDevice->beginScene();
        g.clear();
        scene->frameRender();
        g.saveScreenshot(scene, path);
        g.dxDevice->endScene();
    }
};

TEST_F(QorGraphicsScreenshotTest, TgaScreenshotsCarryCoverageAsAlphaAndTheColoursOwnValues) {
    Context* scene = halfCoveredScene();
    runFrame(scene);
    shoot(scene, file("shot.jpg.tga"));  // ".tga" is found first
    int w = 0, h = 0;
    const std::vector<std::uint32_t> shown = backBuffer(w, h);
    MemoryImageFile shot(0, file("shot.jpg.tga"));
    const UColor centre = shot.at(w / 2, h / 2);
    EXPECT_EQ(centre >> 24, 128u);
    EXPECT_NEAR(static_cast<int>((centre >> 16) & 0xFF), 200, 3);
    EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), 100, 3);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), 50, 3);
    EXPECT_EQ(shot.at(2, 2) >> 24, 0u) << "the bare background is transparent";
    // The frame shown afterwards is the normal one, not the silhouette.
    EXPECT_NEAR(static_cast<int>((shown[static_cast<std::size_t>(h / 2) * w + w / 2] >> 16) & 0xFF), 100, 3);
    scene->destroy();
}

TEST_F(QorGraphicsScreenshotTest, BmpAndJpegScreenshotsHoldTheFrameAndOtherNamesNothing) {
    Context* scene = halfCoveredScene();
    runFrame(scene);
    shoot(scene, file("shot.bmp"));
    shoot(scene, file("shot.jpg"));
    shoot(scene, file("shot.JPG"));
    int w = 0, h = 0;
    const std::vector<std::uint32_t> frame = backBuffer(w, h);
    MemoryImageFile bmp(0, file("shot.bmp"));
    MemoryImageFile jpg(0, file("shot.jpg"));
    ASSERT_EQ(bmp.width, w);
    EXPECT_EQ(bmp.at(w / 2, h / 2), frame[static_cast<std::size_t>(h / 2) * w + w / 2] | 0xFF000000u);
    EXPECT_NEAR(static_cast<int>((jpg.at(w / 2, h / 2) >> 16) & 0xFF), 100, 8);
    EXPECT_FALSE(std::filesystem::exists(dataHome + "/shot.JPG"));
    scene->destroy();
}

TEST_F(QorGraphicsScreenshotTest, TheStartupReportDescribesTheDevice) {
    const std::vector<std::uint8_t> bytes = readBytes(wideToUtf8(qor->pLogger->getPath()));
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_NE(log.find("QorGraphics::dumpAdapterInfo(): Adapter information:"), std::string::npos);
    EXPECT_NE(log.find("\tTextureOpCaps: D3DTEXOPCAPS_MODULATE D3DTEXOPCAPS_SELECTARG1 D3DTEXOPCAPS_SELECTARG2"),
              std::string::npos);
    EXPECT_NE(log.find("\tMaxTextureWidth: " + std::to_string(qor->pQorGraphics->dxDevice->maxTextureSize())),
              std::string::npos);
}

}  // namespace
