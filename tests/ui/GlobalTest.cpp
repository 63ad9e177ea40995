#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/TimeKeeper.h"
#include "game/GameControllerIntro.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorAudio.h"
#include "language/Language.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSystem.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"
#include "render/EngineFixture.h"
#include "render/QorGraphics.h"
#include "runtime/Console.h"
#include "runtime/WindowShell.h"
#include "support/HeadlessEngine.h"
#include "support/UserDataHome.h"
#include "ui/ContextCrashReport.h"
#include "ui/ContextDialog.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/ContextSplash.h"
#include "ui/Global.h"
#include "ui/IrisOverlay.h"
#include "ui/Loader.h"
#include "ui/ProgramFixture.h"

namespace {
class GlobalTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        engine->pTimeKeeper = new TimeKeeper();
        engine->pLanguage = new Language(u"");
        engine->pLanguage->setLanguage(0);
    }
    void TearDown() override {
        delete engine->pLanguage;
        engine->pLanguage = nullptr;
        HeadlessEngine::TearDown();
    }
    UserDataHome home;
};

int volume(int option) { return QorAudio::library().getConfig(option); }

// The first start-up stage on a whole engine with the debugging aids unlocked.
class GlobalPreLoaderTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        qor->bDebugLocked = 0;
        global = new GameGlobal();
        global->initPreLoader();
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
        }
        EngineFixture::TearDown();
    }
};
}  // namespace

TEST_F(GlobalPreLoaderTest, WithDebuggingAidsTheConsoleListsTheStoredSizes) {
    const std::vector<std::u16string>& lines = qor->pConsole->history;
    const auto first = std::find(lines.begin(), lines.end(), u"sizeof(bool)=1");
    ASSERT_NE(first, lines.end());
    ASSERT_GE(lines.end() - first, 7);
    EXPECT_EQ(first[1], u"sizeof(NetAddress)=16");
    EXPECT_EQ(first[2], u"sizeof(sockaddr_in)=16");
    EXPECT_EQ(first[3].substr(0, 26), u"sizeof(GameConfiguration)=");
}

TEST_F(GlobalTest, ThousandsAreSeparatedInTheCurrentLanguage) {
    EXPECT_EQ(formatWithThousandsSeparator(0), u"0");
    EXPECT_EQ(formatWithThousandsSeparator(999), u"999");
    EXPECT_EQ(formatWithThousandsSeparator(1000), u"1,000");
    EXPECT_EQ(formatWithThousandsSeparator(123456), u"123,456");
    EXPECT_EQ(formatWithThousandsSeparator(-123), u"-123");
    EXPECT_EQ(formatWithThousandsSeparator(-123456), u"-123,456");
    EXPECT_EQ(formatWithThousandsSeparator(-1234567), u"-1,234,567");
    EXPECT_EQ(formatWithThousandsSeparator(INT32_MIN), u"-2,147,483,648");
    engine->pLanguage->setLanguage(1);
    EXPECT_EQ(formatWithThousandsSeparator(1000), u"1 000");
}

TEST_F(GlobalTest, PercentagesKeepThreeDecimals) {
    EXPECT_EQ(formatPercent(0.12345f), u"12.345%");
    EXPECT_EQ(formatPercent(0.5f), u"50.000%");
}

TEST_F(GlobalTest, BrightColoursAreOpaqueNeverWhiteAndUseTheSharedGenerator) {
    Random::seed(12345);
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t c = randomBrightColour();
        EXPECT_EQ(c >> 24, 0xFFu);
        EXPECT_NE(c, 0xFFFFFFFFu);
        int full = 0;
        for (int shift : {16, 8, 0}) {
            const std::uint32_t v = c >> shift & 0xFF;
            if (v == 255) {
                ++full;
            } else {
                EXPECT_EQ(v % 32, 0u);
                EXPECT_LE(v, 128u);
            }
        }
        EXPECT_GE(full, 1);
    }
    // k = 1 (red only): two more draws, green then blue.
    Random::seed(0);
    std::uint32_t state = 0;
    auto draw = [&state] { return (state = state * 214013u + 2531011u) >> 16; };
    const std::uint32_t k = draw() % 6 + 1;
    std::uint32_t expected = 0xFF000000u;
    for (std::uint32_t i = 0; i < 3; ++i) expected |= ((k >> i & 1) ? 255u : draw() % 5 * 32) << (16 - 8 * i);
    EXPECT_EQ(randomBrightColour(), expected);
}

TEST_F(GlobalTest, ApplyingTheSettingsSetsPacingRateAndVolumes) {
    GameGlobal g;
    g.configuration.maxFps = 100;
    g.configuration.audioQuality = 1;
    g.configuration.soundVolume = 24;
    g.configuration.musicVolume = 15;
    g.applySettings(-1, -1);
    EXPECT_DOUBLE_EQ(engine->timer.period, 0.01);
    EXPECT_EQ(volume(AudioConfig::kSampleVolume), 10000);
    EXPECT_EQ(volume(AudioConfig::kMusicVolume), 6250);
    EXPECT_EQ(volume(AudioConfig::kStreamVolume), 6250);
    const int expected[] = {0, 416, 833, 1250, 1666};
    for (int step = 0; step < 5; ++step) {
        g.configuration.soundVolume = step;
        g.applySettings(-1, -1);
        EXPECT_EQ(volume(AudioConfig::kSampleVolume), expected[step]);
    }
    g.configuration.soundVolume = 23;
    g.applySettings(-1, -1);
    EXPECT_EQ(volume(AudioConfig::kSampleVolume), 9583);
    g.configuration.bMuteAudio = 1;
    g.applySettings(-1, -1);
    EXPECT_EQ(volume(AudioConfig::kSampleVolume), 0);
    EXPECT_EQ(volume(AudioConfig::kMusicVolume), 0);
    EXPECT_EQ(volume(AudioConfig::kStreamVolume), 0);
}

TEST_F(GlobalTest, DeletingTheApplicationSavesBothRecordsAndChangingProfileClearsTheHighlight) {
    {
        GameGlobal* g = new GameGlobal();
        global = g;
        g->profiles.createProfile(u"Ann");
        g->lastHighScorePlace = 4;
        g->profiles.createProfile(u"Bob");
        EXPECT_EQ(g->lastHighScorePlace, -1);
        g->configuration.musicVolume = 3;
        g->pendingUrl = u"readme.htm";
        delete g;
        global = nullptr;
    }
    EXPECT_TRUE(std::filesystem::exists(home.file("Torvane2Xmas.hst")));
    EXPECT_TRUE(std::filesystem::exists(home.file("Torvane2Xmas.pro")));
    GameGlobal again;
    EXPECT_EQ(again.configuration.musicVolume, 3);
    EXPECT_EQ(again.profiles.getProfileName(1), u"Bob");
    EXPECT_EQ(again.profiles.current, 1);
    EXPECT_EQ(again.pendingUrl, u"");
    EXPECT_EQ(again.lastHighScorePlace, -1);
    EXPECT_EQ(again.pCurrentGame, nullptr);
}

namespace {
// The whole program in this process, from the first idle tick, on an off-screen window
// of 320 x 192 pixels, with its data folder in a temporary folder.
class GlobalStartTest : public ProgramFixture {
protected:
    static void dump(const char* name) {
        if (!std::getenv("TORVANE_DUMP_STAGES")) return;
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        qor->pQorGraphics->dxDevice->readBackBuffer(pixels, w, h);
        std::ofstream out(std::string("/tmp/stage-") + name + ".ppm", std::ios::binary);
        out << "P6\n" << w << " " << h << "\n255\n";
        for (std::uint32_t p : pixels)
            out << static_cast<char>(p >> 16) << static_cast<char>(p >> 8) << static_cast<char>(p);
    }
    // The share of the last frame's pixels for which `test` (red, green, blue) holds.
    template <class F>
    static double shareWhere(F test) {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        qor->pQorGraphics->dxDevice->readBackBuffer(pixels, w, h);
        if (pixels.empty()) return 0.0;
        const auto n = std::count_if(pixels.begin(), pixels.end(),
                                     [&](std::uint32_t p) { return test(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF); });
        return static_cast<double>(n) / static_cast<double>(pixels.size());
    }
    // The share of the last frame's pixels that have exactly `colour`.
    static double shareOf(std::uint32_t colour) {
        return shareWhere([colour](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
            return (0xFF000000u | r << 16 | g << 8 | b) == colour;
        });
    }
    // Light pixels in the top right corner, where the frame rate is shown.
    static int lightPixelsTopRight() {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        qor->pQorGraphics->dxDevice->readBackBuffer(pixels, w, h);
        int n = 0;
        for (int y = 0; y < h / 8; ++y)
            for (int x = w * 3 / 4; x < w; ++x) n += (pixels[static_cast<std::size_t>(y) * w + x] & 0xFF) > 200 ? 1 : 0;
        return n;
    }
    // Strong reds, as in the title's lettering and the flags.
    static double shareOfRed() {
        return shareWhere(
            [](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r > 160 && g < 90 && b < 90; });
    }
    // Sky blues.
    static double shareOfSky() {
        return shareWhere([](std::uint32_t r, std::uint32_t, std::uint32_t b) { return b > 150 && b > r + 30; });
    }
};
}  // namespace

TEST_F(GlobalStartTest, TheProgramRunsThroughEveryStageToTheTitleAndKeepsItsFilesForTheNextStart) {
    ASSERT_TRUE(tickUntil([this] { return topIs<Loader>(); }));
    dump("loader");
    // The loading screen: black around its progress bar.
    EXPECT_GT(shareOf(0xFF000000u), 0.8);
    EXPECT_LT(shareOf(0xFF000000u), 0.99);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextDialog>(); }));
    runOneMoreFrame();
    dump("language");
    // The language screen's deep blue with two flags, red in both.
    EXPECT_GT(shareOf(0xFF001030u), 0.8);
    EXPECT_GT(shareOfRed(), 0.002);
    qor->defaultLanguage = 1;
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    runOneMoreFrame();
    for (int i = 0; i < 20; ++i) runOneMoreFrame();
    dump("splash");
    // The logo screen: the maker's logo on black.
    EXPECT_GT(shareOf(0xFF000000u), 0.8);
    EXPECT_LT(shareOf(0xFF000000u), 0.98);
    EXPECT_EQ(qor->pLanguage->currentLanguage, 1);
    EXPECT_EQ(lightPixelsTopRight(), 0);
    global->configuration.bShowFps = 1;
    runOneMoreFrame();
    EXPECT_GT(lightPixelsTopRight(), 0);  // the frame rate, in fontSmall, whatever its digits
    global->configuration.bShowFps = 0;
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
    runOneMoreFrame();
    // The intro starts in black and opens onto its island, seen from high above, before
    // the game's logo comes.
    EXPECT_GT(shareOf(0xFF000000u), 0.9);
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    dump("intro");
    EXPECT_LT(shareOf(0xFF000000u), 0.01);
    EXPECT_GT(shareOfSky(), 0.3);  // the screen's grey and the overcast under it take the top
    EXPECT_LT(shareOfRed(), 0.001);
    global->pContextManager->top()->bFinished = 1;
    // A first start knows no player yet: the title menu asks for a name at once.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextEnterName>(); }));
    global->profiles.createProfile(u"Ann");
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    runOneMoreFrame();
    dump("title");
    // The title: the game's red lettering over the sky.
    EXPECT_LT(shareOf(0xFF000000u), 0.01);
    EXPECT_GT(shareOfSky(), 0.3);
    EXPECT_GT(shareOfRed(), 0.01);
    global->configuration.musicVolume = 7;

    WindowShell::onClose();
    for (const char* name : {"Torvane2Xmas.cfg", "Torvane2Xmas.hst", "Torvane2Xmas.pro"})
        EXPECT_TRUE(std::filesystem::exists(home.file(name))) << name;
    EXPECT_NE(TempFolder::read(home.file("Torvane2Xmas.cfg")).find("defaultLanguage=1"), std::string::npos);

    // The second start asks no more and finds what the first one kept.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    EXPECT_EQ(global->configuration.musicVolume, 7);
    EXPECT_EQ(global->profiles.getProfileName(0), u"Ann");
    EXPECT_EQ(qor->pLanguage->currentLanguage, 1);
}

TEST_F(GlobalStartTest, ARestartComesBackThroughTheLoadingScreenWithTheSavedData) {
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextDialog>(); }));
    qor->defaultLanguage = 0;
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    global->profiles.createProfile(u"Bo");
    restartRequested = true;
    EXPECT_TRUE(WindowShell::tick(window));
    EXPECT_EQ(global, nullptr);
    ASSERT_TRUE(tickUntil([this] { return topIs<Loader>(); }));
    EXPECT_EQ(global->profiles.getProfileName(0), u"Bo");
}

TEST_F(GlobalStartTest, CrashFilesPutTheCrashReportAboveTheLogoScreen) {
    std::ofstream(home.file("crash.Torvane2Xmas.log")) << "a crash";
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextDialog>(); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextCrashReport>(); }));
    global->pContextManager->top()->bFinished = 1;
    EXPECT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
}
