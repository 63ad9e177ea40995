#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "language/Language.h"
#include "render/FontCacheEntry.h"
#include "render/FontQuad.h"
#include "render/ImageTexture.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Texture.h"
#include "support/BareEngine.h"
#include "support/FakeClock.h"
#include "support/UserDataHome.h"
#include "ui/ContextDialog.h"
#include "ui/Loader.h"
#include "ui/LoadingBar.h"
#include "ui/StackFixture.h"
#include "ui/TextureLoading.h"

namespace {
// The first start-up stage over the data archives beside the test program. The engine's
// clock is the test's: it moves only by the waits between frames, so a frame's budget of
// loading time runs out only where the test says.
class LoaderTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return EngineFixture::settingsText() + "[Qor]\ndefaultLanguage=" + std::to_string(defaultLanguage) +
               "\nbEnableDelayedLoad=" + (delayedLoad ? "Yes" : "No") + "\n";
    }
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        clock.sleepsPass = true;
        clock.takeOverEngineTime();
        global = new GameGlobal();
        global->initPreLoader();
        stack = global->pContextManager;
        loader = static_cast<Loader*>(stack->top());
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
        }
        EngineFixture::TearDown();
    }
    // Runs frames while `more` holds, at most `limit` of them; the number run.
    template <class F>
    int runWhile(F more, int limit = 400) {
        int n = 0;
        while (more() && n < limit) {
            runFrame(stack);
            ++n;
        }
        return n;
    }

    FakeClock clock;
    int defaultLanguage = 0;
    bool delayedLoad = false;
    ContextManager* stack = nullptr;
    Loader* loader = nullptr;
};

class LoaderAskingTest : public LoaderTest {
protected:
    LoaderAskingTest() { defaultLanguage = -1; }
};

class LoaderDelayedTest : public LoaderTest {
protected:
    LoaderDelayedTest() { delayedLoad = true; }
};
}  // namespace

TEST_F(LoaderTest, TheFirstFrameRunsStepOneAndTheSecondStopsAfterTheSettings) {
    EXPECT_EQ(loader->totalSteps, 98);
    EXPECT_EQ(loader->bCloseOnEscape, 0);
    EXPECT_EQ(loader->bShowPointer, 0);
    EXPECT_EQ(loader->clearColor, 0xFF000000u);
    EXPECT_FALSE(loader->pLoadingBar->bHidden);
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, 1);
    EXPECT_FLOAT_EQ(loader->pLoadingBar->progress, 1.0f / 98.0f);
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, 3);
    EXPECT_NE(qor->pResourceManager->find(false, u"musicMenu"), nullptr);
}

TEST_F(LoaderTest, AFrameEndsWithTheStepThatUsesUpItsBudget) {
    runFrame(stack);
    runFrame(stack);
    ASSERT_EQ(loader->currentStep, 3);
    // Each reading of the clock now finds it 0.2 s on: the frame's first step starts
    // within its budget, and when that step ends the budget is used up.
    clock.readCost = 0.8 * Loader::kFrameBudget;
    runWhile([this] { return loader->currentStep == 3; });  // the new settings take effect first
    EXPECT_EQ(loader->currentStep, 4);
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, 5);
    // With time to spare, the next frame loads on to the end.
    clock.readCost = 0.0;
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, Loader::kSteps);
}

TEST_F(LoaderTest, EveryResourceIsRegisteredByNameAndTheStartScreensFollow) {
    runWhile([this] { return stack->top() == loader; });
    EXPECT_EQ(loader->currentStep, 98);
    EXPECT_TRUE(loader->bFinished);
    for (const char16_t* name :
         {u"qrstudios:0", u"languageFlags:14", u"logo:all", u"sea:all", u"island:all", u"zeppelin:all", u"sky:0",
          u"mouseArrow:0", u"kamikaze:0", u"bomber:2", u"pop", u"switchWeaponLower", u"musicGame", u"fontHUDTex",
          u"fontTinyTex1", u"fontLargeTex1", u"1252.codepointLUT"})
        EXPECT_NE(qor->pResourceManager->find(false, name), nullptr) << wideToUtf8(name);
    EXPECT_EQ(qor->pLanguage->currentLanguage, 0);
    const char16_t* fonts[] = {u"fontTiny", u"fontSmall", u"fontMedium", u"fontLarge", u"fontHUD"};
    for (int i = 0; i < Global::kFontCount; ++i) {
        EXPECT_NE(global->fonts[i], nullptr);
        EXPECT_EQ(qor->pResourceManager->find(true, fonts[i]), static_cast<QorBase*>(global->fonts[i]));
    }
    // Everything loaded hangs under the application's resource root.
    EXPECT_EQ(qor->pResourceManager->find(true, u"palm")->parent, global->resourceRoot);
    EXPECT_EQ(static_cast<QorBase*>(qor->pResourceManager->find(true, u"pop"))->parent, global->resourceRoot);
}

TEST_F(LoaderTest, TheTwoSmallestFontsAskForPixelScalingAndStillDrawInVirtualPixels) {
    runWhile([this] { return stack->top() == loader; });
    ASSERT_EQ(loader->currentStep, 98);
    // The engine never allows real-pixel scaling, so even where scale-mode-2 objects
    // shrink (a 640-pixel viewport) the fonts keep the scale their layouts were made for.
    ASSERT_EQ(qor->pixelScalingOff, 1);
    qor->pQorGraphics->pixelScale = Vector3{0.625f, 0.625f, 0.5f};
    for (int i = 0; i < Global::kFontCount; ++i) {
        FontQuad& font = *global->fonts[i];
        EXPECT_EQ(font.bPixelScalingAsked, i == Global::kFontTiny || i == Global::kFontSmall ? 1 : 0) << i;
        font.onPresentationRestored();
        EXPECT_EQ(font.scale.x, 1.0f) << i;
        EXPECT_EQ(font.scale.y, 1.0f) << i;
        EXPECT_EQ(font.fontHeight, font.fontHeightRaw) << i;
    }
}

TEST_F(LoaderAskingTest, TheLanguageScreenHoldsTheLoadingUntilAFlagIsChosen) {
    runWhile([this] { return stack->top() == loader; });
    auto* screen = dynamic_cast<ContextDialog*>(stack->top());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(loader->currentStep, 86);
    runFrame(stack);
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, 86);
    qor->defaultLanguage = 1;
    screen->bFinished = 1;
    runFrame(stack);
    EXPECT_EQ(loader->currentStep, 87);
    EXPECT_EQ(qor->pLanguage->currentLanguage, 1);
}

TEST_F(LoaderTest, ASingleLanguageIsTakenWithoutAsking) {
    qor->singleLanguage = 1;
    qor->defaultLanguage = -1;
    runWhile([this] { return loader->currentStep < 86; });
    EXPECT_EQ(qor->defaultLanguage, 1);
    EXPECT_EQ(dynamic_cast<ContextDialog*>(stack->top()), nullptr);
}

TEST_F(LoaderTest, WithNoLanguageOfferedNothingIsAskedAndLanguageZeroIsUsed) {
    qor->languageMask = u"00";
    delete qor->pLanguage;
    qor->pLanguage = new Language(u"00");
    qor->defaultLanguage = -1;
    runWhile([this] { return loader->currentStep < 86; });
    EXPECT_EQ(qor->defaultLanguage, 0);
    EXPECT_EQ(dynamic_cast<ContextDialog*>(stack->top()), nullptr);
}

TEST_F(LoaderDelayedTest, DelayedLoadingHidesTheBar) { EXPECT_TRUE(loader->pLoadingBar->bHidden); }

// The glyph sheets' kept copies are decoded at first use, so a text cached before any
// glyph was drawn one by one must still carry ink.
TEST_F(LoaderDelayedTest, CachedTextsCarryTheGlyphsInk) {
    runWhile([this] { return stack->top() == loader; });
    ASSERT_EQ(loader->currentStep, 98);
    for (int i = 0; i < Global::kFontCount; ++i) {
        if (!global->fonts[i]->bUseCache) continue;
        FontCacheEntry* row = global->fonts[i]->cacheText(u"Start Game");
        ASSERT_NE(row, nullptr) << i;
        int inked = 0;
        const Rect& r = row->cacheBounds;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) inked += (row->pTexture->pixel(x, y) >> 24) != 0;
        EXPECT_GT(inked, 20) << i;
    }
}

// Without a display: only the file manager, over the archives beside the test program.
// A fresh process for each death: earlier display tests leave this one talking to the
// X server, which a forked child must not touch.
TEST(LoaderFontTest, AFontWithoutGlyphsInTheWesternCodePageIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    UserDataHome home;
    BareEngine bare(true);
    GameGlobal application;
    application.resourceRoot = new QorBase();
    global = &application;
    EXPECT_EXIT(Loader::fontRes(false, u"fontNoneTex", u"", u"font-none", u"1252"), ::testing::ExitedWithCode(255),
                "Could not find any 8-bit glyphs for font 'font-none'");
    global = nullptr;
}

TEST(LoaderFontTest, AMissingArchiveIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    BareEngine bare(true);
    EXPECT_EXIT(Loader::fontRes(false, u"fontTinyTex", u"", u"font-tiny", u"1253"), ::testing::ExitedWithCode(255),
                "Torvane2Xmas.dat.1253");
}

namespace {
// What the program's texture loader made of one picture file.
struct LoadedPicture {
    int skins = 0;
    int width = 0, height = 0;  // image pixels, from the skin record
};

// Links every file under `stage` into `folder` at the same relative path.
void linkFilesInto(const std::filesystem::path& stage, const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(stage)) {
        const std::filesystem::path target = folder / entry.path().lexically_relative(stage);
        if (entry.is_directory())
            std::filesystem::create_directories(target);
        else if (!std::filesystem::exists(target))
            std::filesystem::create_symlink(entry.path(), target);
    }
}

// Loads every picture the loading screen names, without a display, from the archives
// beside the test program or from one data folder holding the three archives' staged
// files. Without a device the pixels are not uploaded: they are decoded here as the
// device copy would decode them, and must have the size the skin record gave.
std::map<std::u16string, LoadedPicture> loadEveryPicture(bool fromArchives) {
    BareEngine bare(fromArchives);
    FileManager& files = *qor->pFileManager;
    if (fromArchives) {
        files.useWad(getArchivePath() + u".language.v2");
        files.useWad(getArchivePath() + u".1252");
        files.useWad(getArchivePath());
    } else {
        for (const char* stage : {TORVANE_DATASTAGE_DIR, TORVANE_LANGUAGE_STAGE_DIR, TORVANE_FONT_STAGE_DIR})
            linkFilesInto(stage, bare.folder);
    }
    std::map<std::u16string, LoadedPicture> loaded;
    for (const Loader::TextureFile& file : Loader::textureFiles()) {
        const std::string path = wideToUtf8(file.path);
        // A missing file is fatal to the loader: report it and go on with the others.
        if (!files.exists(file.path)) {
            ADD_FAILURE() << path << " is missing";
            continue;
        }
        std::unique_ptr<Texture> texture(loadTextureFile(file.flags, file.path));
        const MemoryImageFile image(0, file.path);
        EXPECT_EQ(image.width, texture->requestedWidth) << path;
        EXPECT_EQ(image.height, texture->requestedHeight) << path;
        EXPECT_TRUE(image.pImageData != nullptr) << path;
        const LoadedPicture picture{static_cast<int>(textureSkins(texture.get()).size()), texture->requestedWidth,
                                    texture->requestedHeight};
        EXPECT_GT(picture.skins, 0) << path;
        EXPECT_TRUE(loaded.emplace(file.name, picture).second) << "named twice: " << wideToUtf8(file.name);
    }
    return loaded;
}

// The skins the game indexes by number, by registered name; `atLeast` when only the
// first ones are indexed.
struct SkinCount {
    const char16_t* name;
    int skins;
    bool atLeast = false;
};

const SkinCount kSkinCounts[] = {
    {u"island", 2},
    {u"zeppelin", 3},
    {u"propeller", 98},
    {u"biplane", 49},
    {u"biplane-markings", 49},
    {u"p35", 49},
    {u"p35-markings", 49},
    {u"projectiles", 12},
    {u"propelledBomb", 24},
    {u"hotAirBalloon", 19},
    {u"ballistic", 9},
    {u"crate", 6},
    {u"torpedo", 2},
    {u"languageFlags", 15},
    {u"kamikaze", 3},
    {u"bomber", 3},
    {u"gui-game-progressBar", 2, true},
    {u"gui-game-editbox", 2, true},
    {u"gui-game-button", 2, true},
};

void expectSkinCounts(const std::map<std::u16string, LoadedPicture>& loaded) {
    EXPECT_EQ(loaded.size(), Loader::textureFiles().size());
    for (const SkinCount& expected : kSkinCounts) {
        const std::string name = wideToUtf8(expected.name);
        const auto it = loaded.find(expected.name);
        if (it == loaded.end()) {
            ADD_FAILURE() << name << " was not loaded";
            continue;
        }
        if (expected.atLeast)
            EXPECT_GE(it->second.skins, expected.skins) << name;
        else
            EXPECT_EQ(it->second.skins, expected.skins) << name;
    }
}
}  // namespace

TEST(LoaderPictureTest, EveryPictureLoadsFromLooseFilesWithTheSkinsTheGameIndexes) {
    expectSkinCounts(loadEveryPicture(false));
}

TEST(LoaderPictureTest, EveryPictureLoadsFromTheArchivesWithTheSkinsTheGameIndexes) {
    expectSkinCounts(loadEveryPicture(true));
}

// The archives carry skin records written when they were packed: stale ones would
// lay out the skins differently from the skin files beside the loose pictures.
TEST(LoaderPictureTest, TheArchivesGiveTheSameSkinsAsTheLooseFiles) {
    const std::map<std::u16string, LoadedPicture> loose = loadEveryPicture(false);
    const std::map<std::u16string, LoadedPicture> packed = loadEveryPicture(true);
    for (const auto& [name, picture] : loose) {
        const auto it = packed.find(name);
        if (it == packed.end()) continue;
        SCOPED_TRACE(wideToUtf8(name));
        EXPECT_EQ(it->second.skins, picture.skins);
        EXPECT_EQ(it->second.width, picture.width);
        EXPECT_EQ(it->second.height, picture.height);
    }
}
