#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "inputaudio/QorAudio.h"
#include "language/Language.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSystem.h"
#include "support/HeadlessEngine.h"
#include "support/UserDataHome.h"
#include "ui/GameGlobal.h"
#include "ui/Global.h"

namespace {
class GlobalTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
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
}  // namespace

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
