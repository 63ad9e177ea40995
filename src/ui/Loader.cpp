#include "ui/Loader.h"

#include <iterator>

#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundStream.h"
#include "language/Language.h"
#include "render/FontQuad.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/Texture.h"
#include "ui/ContextDialog.h"
#include "ui/ContextLanguageSelect.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/LoadingBar.h"
#include "ui/TextureLoading.h"

namespace {
constexpr int kLoop = 1;
constexpr int kNoAnchor = -1;
constexpr int kHalveToFit = 2;  // texture flag: halve a large image instead of tiling it

struct TextureStep {
    int step;
    const char16_t* path;
    const char16_t* name;
    int flags;
    int anchor;  // of skin 0, or kNoAnchor
};

// The textures that are one file, one name. Step 30 also brings the kamikaze and the
// bomber, which no step names of their own.
constexpr TextureStep kTextureSteps[] = {
    {6, u"gfx/system/qrstudios.tga", u"qrstudios", 0, kNoAnchor},
    {8, u"gfx/gui/game/editbox.tga", u"gui-game-editbox", kHalveToFit, kNoAnchor},
    {9, u"gfx/gui/game/button.tga", u"gui-game-button", kHalveToFit, kNoAnchor},
    {10, u"gfx/gui/game/square.tga", u"gui-game-square", kHalveToFit, kNoAnchor},
    {12, u"xmas-edition/gfx/sky-colormatched.tga", u"sky", 0, 1},
    {15, u"xmas-edition/gfx/ovalbuttons.tga", u"ovalButtons", kHalveToFit, kNoAnchor},
    {16, u"xmas-edition/gfx/palm.tga", u"palm", kHalveToFit, kNoAnchor},
    {17, u"gfx/3ds_explosion.tga", u"explosion", kHalveToFit, kNoAnchor},
    {18, u"gfx/3ds_smoke.tga", u"smoke", kHalveToFit, kNoAnchor},
    {19, u"gfx/propeller.tga", u"propeller", kHalveToFit, kNoAnchor},
    {20, u"xmas-edition/gfx/biplane.tga", u"biplane", kHalveToFit, kNoAnchor},
    {21, u"xmas-edition/gfx/biplane-markings.tga", u"biplane-markings", kHalveToFit, kNoAnchor},
    {22, u"gfx/p35.tga", u"p35", kHalveToFit, kNoAnchor},
    {23, u"gfx/p35-markings.tga", u"p35-markings", kHalveToFit, kNoAnchor},
    {24, u"xmas-edition/gfx/cannon.tga", u"cannon", kHalveToFit, kNoAnchor},
    {25, u"xmas-edition/gfx/projectiles.tga", u"projectiles", kHalveToFit, kNoAnchor},
    {26, u"gfx/splash.tga", u"splash", kHalveToFit, kNoAnchor},
    {27, u"gfx/circularsplash.tga", u"circularSplash", kHalveToFit, kNoAnchor},
    {28, u"gfx/propelledBomb.tga", u"propelledBomb", kHalveToFit, kNoAnchor},
    {29, u"xmas-edition/gfx/hotairballoon.tga", u"hotAirBalloon", kHalveToFit, kNoAnchor},
    {30, u"gfx/torpedo.tga", u"torpedo", kHalveToFit, kNoAnchor},
    {30, u"gfx/kamikaze.tga", u"kamikaze", kHalveToFit, kNoAnchor},
    {30, u"gfx/bomber.tga", u"bomber", kHalveToFit, kNoAnchor},
    {31, u"gfx/atombomb.tga", u"atomBomb", kHalveToFit, kNoAnchor},
    {32, u"gfx/hud-energybar.tga", u"hud-energybar", kHalveToFit, kNoAnchor},
    {33, u"gfx/hud-bonusicons.tga", u"hud-bonusicons", kHalveToFit, kNoAnchor},
    {34, u"gfx/balloons.tga", u"balloons", kHalveToFit, kNoAnchor},
    {35, u"xmas-edition/gfx/flare-small.tga", u"flare", kHalveToFit, kNoAnchor},
    {36, u"gfx/arrow-mousecontrol.tga", u"mouseArrow", kHalveToFit, 6},
    {37, u"gfx/laser.tga", u"laser", kHalveToFit, kNoAnchor},
    {38, u"gfx/lightning.tga", u"lightning", kHalveToFit, kNoAnchor},
    {39, u"gfx/crate.tga", u"crate", kHalveToFit, kNoAnchor},
    {40, u"gfx/parachute.tga", u"parachute", kHalveToFit, kNoAnchor},
    {41, u"gfx/ballistic.tga", u"ballistic", kHalveToFit, kNoAnchor},
    {43, u"xmas-edition/gfx/snowflake.tga", u"snowflake", kHalveToFit, kNoAnchor},
    {44, u"xmas-edition/gfx/gui/game/hud-touchscreen.tga", u"hud-touchscreen", 0, kNoAnchor},
};

using TextureFile = Loader::TextureFile;

// The loading screen's own pictures. The progress bar has one path for both editions.
constexpr TextureFile kOwnPictures[] = {
    {u"xmas-edition/gfx/gui/game/progressbar.tga", u"gui-game-progressBar", kHalveToFit},
    {u"gfx/gui/game/mousepointer.tga", u"mousePointer", 0},
};

// The pictures of the steps that do more than load and register one file.
constexpr TextureFile kLanguageFlags = {u"gfx/system/languageflags.tga", u"languageFlags", 0};
constexpr TextureFile kLogoTiles[] = {
    {u"xmas-edition/gfx/logo_0_0.tga", u"logo", kHalveToFit},
    {u"xmas-edition/gfx/logo_1_0.tga", u"logo1", kHalveToFit},
    {u"xmas-edition/gfx/logo_0_1.tga", u"logo2", kHalveToFit},
    {u"xmas-edition/gfx/logo_1_1.tga", u"logo3", kHalveToFit},
};
constexpr TextureFile kSeaTiles[] = {
    {u"xmas-edition/gfx/sea_0_0.tga", u"sea", kHalveToFit},
    {u"xmas-edition/gfx/sea_1_0.tga", u"sea2", kHalveToFit},
};
constexpr TextureFile kIsland = {u"xmas-edition/gfx/island.tga", u"island", kHalveToFit};
constexpr TextureFile kZeppelin = {u"xmas-edition/gfx/zeppelin.tga", u"zeppelin", kHalveToFit};
constexpr TextureFile kHudAlphabet = {u"xmas-edition/gfx/font/alphabet-hud.tga", u"fontHUDTex", kHalveToFit};

Texture* loadFile(const TextureFile& file) { return loadTextureFile(file.flags, file.path); }

struct SoundStep {
    int step;
    const char16_t* path;
    const char16_t* name;
    std::uint32_t flags;
    float pitchLow, pitchHigh;
};

constexpr SoundStep kSoundSteps[] = {
    {45, u"sfx/clickXP.ogg", u"mouseClick", 0, 0.0f, 0.0f},
    {46, u"sfx/pop.ogg", u"pop", 0, 0.0f, 0.0f},
    {47, u"xmas-edition/sfx/rot5loo1.ogg", u"engine", kLoop, 0.0f, 0.0f},
    {48, u"xmas-edition/sfx/ovrevlp1.ogg", u"engineSpinning", kLoop, 0.0f, 0.0f},
    {49, u"sfx/ovrevlp1.ogg", u"bomberEngine", kLoop, 0.0f, 0.0f},
    {50, u"sfx/arc2.ogg", u"lightningFire", kLoop, 0.0f, 0.0f},
    {51, u"sfx/bmbwstl2.ogg", u"bombWhistle", 0, 0.0f, 0.5f},
    {52, u"sfx/bmbwstl2short.ogg", u"bombWhistleShort", 0, 0.0f, 0.5f},
    {53, u"sfx/cannonfire.ogg", u"cannonFire", 0, 0.0f, 1.0f},
    {54, u"sfx/laserFire.ogg", u"laserFire", 0, 0.0f, 0.1f},
    {55, u"sfx/laserHit.ogg", u"laserHit", 0, 0.0f, 0.1f},
    {56, u"sfx/lightninghit.ogg", u"lightningHit", 0, 0.0f, 0.5f},
    {57, u"sfx/splash.ogg", u"smallSplash", 0, 0.0f, 0.5f},
    {58, u"sfx/planesplash.ogg", u"largeSplash", 0, 0.0f, 0.0f},
    {59, u"sfx/fireworklaunch.ogg", u"fireworkLaunch", 0, 0.0f, 0.25f},
    {60, u"sfx/fireworkbang.ogg", u"fireworkBang", 0, 0.0f, 0.5f},
    {61, u"xmas-edition/sfx/planehit(ricocnvs).ogg", u"planeHit", 0, 0.0f, 0.5f},
    {62, u"sfx/spanloo.ogg", u"bulletFire", 0, 0.0f, 0.0f},
    {63, u"sfx/firetree.ogg", u"treeBurn", 0, 0.0f, 0.0f},
    {64, u"sfx/engnxploshort.ogg", u"explosionShort", 0, 0.0f, 0.0f},
    {65, u"sfx/fx113.ogg", u"explosionLong", 0, 0.0f, 0.5f},
    {66, u"sfx/balloonPop.ogg", u"balloonPop", 0, 0.0f, 0.5f},
    {67, u"sfx/bubbles.ogg", u"bubbles", 0, 0.0f, 0.5f},
    {68, u"sfx/bubbleburst.ogg", u"bubbleBurst", 0, 0.0f, 0.25f},
    {69, u"sfx/deflate.ogg", u"deflate", 0, 0.0f, 0.5f},
    {70, u"sfx/waterExit.ogg", u"waterExit", 0, 0.0f, 0.5f},
    {71, u"sfx/missilelaunch.ogg", u"missileLaunch", 0, 0.0f, 0.5f},
    {72, u"sfx/missilehit.ogg", u"missileHit", 0, 0.0f, 0.1f},
    {73, u"sfx/kamikazeentry.ogg", u"kamikazeEntry", 0, 0.0f, 0.5f},
    {74, u"sfx/ballisticentry(gp32).ogg", u"ballisticEntry", 0, 0.0f, 0.5f},
    {75, u"sfx/rot5loo1fade.ogg", u"biplaneEntry", 0, 0.0f, 0.1f},
    {76, u"sfx/propelledbombentry.ogg", u"propelledBombEntry", 0, 0.0f, 0.5f},
    {77, u"sfx/bomberdropbomb.ogg", u"bomberDropBomb", 0, 0.0f, 0.5f},
    {78, u"sfx/crateBreak.ogg", u"crateBreak", 0, 0.0f, 0.5f},
    {79, u"sfx/nyuck.ogg", u"nyuck", 0, 0.0f, 0.0f},
    {80, u"sfx/levelup.ogg", u"bonusPickup+", 0, 0.0f, 0.0f},
    {81, u"sfx/leveldown.ogg", u"bonusPickup-", 0, 0.0f, 0.0f},
    {82, u"sfx/drum_roll_1.ogg", u"drumroll", 0, 0.0f, 0.0f},
    {83, u"sfx/cymbalcrash.ogg", u"cymbal", 0, 0.0f, 0.0f},
    {84, u"sfx/lackerol3.ogg", u"switchWeapon", 0, 0.0f, 0.0f},
    {85, u"sfx/lackerol3lower.ogg", u"switchWeaponLower", 0, 0.0f, 0.0f},
};

constexpr int kPlaybacks = 2;
constexpr int kPopPlaybacks = 3;
constexpr double kPopInterval = 0.025;  // s between two pops

double physicalTime() { return qor->timeKeeper().getPhysicalTime(); }

std::u16string codePageOf(int language) { return qor->language().getString(language, StringId::LANGUAGECODEPAGE); }
}  // namespace

Loader::Loader() {
    QOR_LOG("Loader::Loader", u"Loading resources...");
    bDeleteOnClose = 1;
    bCloseOnEscape = 0;
    bShowPointer = 0;
    bHideFrameRate = 1;
    clearColor = 0xFF000000u;
    pLoadingBar = new LoadingBar(static_cast<Texture*>(qor->resources().find(true, u"gui-game-progressBar")), 0, 1);
    if (qor->bEnableDelayedLoad) pLoadingBar->bHidden = 1;
    addChild(pLoadingBar);
    totalSteps = loadStuff(true);
}

void Loader::tickContents(double time, double dt) {
    // The children as a plain object ticks them: the context's own tick is what called this.
    QorBase::tick(time, dt);  // NOLINT(bugprone-parent-virtual-call)
    const double deadline = physicalTime() + kFrameBudget;
    if (physicalTime() >= deadline) return;
    for (;;) {
        const std::int32_t n = loadStuff(false);
        pLoadingBar->setProgress(static_cast<float>(n) / static_cast<float>(totalSteps));
        if (bYieldStep) {
            bYieldStep = 0;
            return;
        }
        // Another screen (the language choice, or the start screens) came on top.
        if (parent && parent->lastChild != this) {
            bYieldStep = 1;
            return;
        }
        if (physicalTime() >= deadline) return;
    }
}

std::int32_t Loader::loadStuff(bool countOnly) {
    if (countOnly || currentStep >= kSteps) return kSteps;
    currentStep += 1;
    runStep(currentStep);
    return currentStep;
}

void Loader::registerResource(QorBase* resource, const std::u16string& name) {
    global->resourceRoot->addChild(resource);
    qor->resources().addResource(resource, name);
}

void Loader::registerTexture(Texture* texture, const std::u16string& name) {
    registerResource(texture, name);
    const std::vector<Skin*> skins = textureSkins(texture);
    for (std::size_t i = 0; i < skins.size(); ++i)
        qor->resources().addResource(skins[i], formatString(u"%s:%d", name, static_cast<int>(i)));
}

void Loader::loadOwnPictures() {
    for (const TextureFile& file : kOwnPictures) registerTexture(loadFile(file), file.name);
}

std::vector<Loader::TextureFile> Loader::textureFiles() {
    std::vector<TextureFile> files(std::begin(kOwnPictures), std::end(kOwnPictures));
    files.push_back(kLanguageFlags);
    for (const TextureStep& t : kTextureSteps) files.push_back({t.path, t.name, t.flags});
    files.insert(files.end(), std::begin(kLogoTiles), std::end(kLogoTiles));
    files.insert(files.end(), std::begin(kSeaTiles), std::end(kSeaTiles));
    files.insert(files.end(), {kIsland, kZeppelin, kHudAlphabet});
    return files;
}

namespace {
// The steps that do more than load and register one picture or one sound (those name
// their step in the tables above). Step 1 does nothing: its frame shows the bar at once.
enum SpecialStep : int {
    kStepMenuMusic = 2,
    kStepApplySettings = 3,
    kStepPlayMenuMusic = 4,
    kStepGameMusic = 5,
    kStepLanguageFlags = 7,
    kStepLogo = 11,
    kStepSea = 13,
    kStepIsland = 14,
    kStepZeppelin = 42,
    kStepChooseLanguage = 86,
    kStepSetLanguage = 87,
    kStepFontTiny = 88,
    kStepFontSmall = 89,
    kStepFontMedium = 90,
    kStepFontLarge = 91,
    kStepHudAlphabet = 92,
    kStepFirstFont = 93,
    kStepLastFont = 97,
    kStepSecondStage = 98,
};

}  // namespace

void Loader::runStep(int step) {
    if (loadPlainTexture(step) || loadSound(step)) return;
    switch (step) {
        case kStepMenuMusic:
            registerResource(new SoundStream(kLoop, u"xmas-edition/sfx/music/menu.ogg"), u"musicMenu");
            break;
        case kStepApplySettings:
            applySettingsStep();
            break;
        case kStepPlayMenuMusic:
            qor->audio().setMusic(static_cast<SoundStream*>(qor->resources().find(true, u"musicMenu")));
            break;
        case kStepGameMusic:
            registerResource(new SoundStream(kLoop, u"xmas-edition/sfx/music/game.ogg"), u"musicGame");
            break;
        case kStepLanguageFlags:
            loadLanguageFlags();
            break;
        case kStepLogo:
            loadLogo();
            break;
        case kStepSea:
            loadSea();
            break;
        case kStepIsland:
            loadJoinedHalves(kIsland, kNoAnchor);
            break;
        case kStepZeppelin:
            loadJoinedHalves(kZeppelin, 4);
            break;
        case kStepChooseLanguage:
            chooseLanguage();
            break;
        case kStepSetLanguage:
            qor->language().setLanguage(qor->defaultLanguage);
            break;
        case kStepFontTiny:
            fontRes(false, u"fontTinyTex", u"", u"font-tiny", u"");
            break;
        case kStepFontSmall:
            fontRes(false, u"fontSmallTex", u"", u"font-small", u"");
            break;
        case kStepFontMedium:
            fontRes(false, u"fontMediumTex", u"", u"font-medium", u"");
            break;
        case kStepFontLarge:
            fontRes(false, u"fontLargeTex", u"xmas-edition/", u"font-large", u"");
            break;
        case kStepHudAlphabet:
            registerResource(loadFile(kHudAlphabet), kHudAlphabet.name);
            break;
        case kStepFirstFont:
        case kStepFirstFont + 1:
        case kStepFirstFont + 2:
        case kStepFirstFont + 3:
        case kStepLastFont:
            createFont(step);
            break;
        case kStepSecondStage:
            global->initPostLoader();
            bFinished = 1;
            break;
        default:
            break;
    }
}

bool Loader::loadPlainTexture(int step) {
    bool found = false;
    for (const TextureStep& t : kTextureSteps) {
        if (t.step != step) continue;
        Texture* texture = loadTextureFile(t.flags, t.path);
        registerTexture(texture, t.name);
        if (t.anchor != kNoAnchor) textureSkins(texture).at(0)->setAnchor(t.anchor);
        found = true;
    }
    return found;
}

bool Loader::loadSound(int step) {
    for (const SoundStep& s : kSoundSteps) {
        if (s.step != step) continue;
        const bool pop = std::u16string_view(s.name) == u"pop";
        auto* sound = new Sound(s.flags, pop ? kPopPlaybacks : kPlaybacks, s.path);
        registerResource(sound, s.name);
        if (pop) sound->minReplayInterval = kPopInterval;
        sound->frequencyVariationMin = s.pitchLow;
        sound->frequencyVariationMax = s.pitchHigh;
        return true;
    }
    return false;
}

void Loader::applySettingsStep() {
    global->configuration.bFullScreen = qor->graphics().bFullScreen;
    global->applySettings(-1, -1);
    // The display may change now: let the frame show before loading goes on.
    bYieldStep = 1;
}

void Loader::loadLanguageFlags() {
    FileManager& files = qor->files();
    files.useWad(getArchivePath() + u".language.v2");
    registerTexture(loadFile(kLanguageFlags), kLanguageFlags.name);
    files.useWad(getArchivePath());
}

void Loader::loadLogo() {
    std::vector<Skin*> cells;
    Texture* first = nullptr;
    for (const TextureFile& tile : kLogoTiles) {
        Texture* texture = loadFile(tile);
        registerTexture(texture, tile.name);
        cells.push_back(textureSkins(texture).at(0));
        if (!first) first = texture;
    }
    qor->resources().addResource(joinSkins(first, 2, 2, cells, kNoAnchor), u"logo:all");
}

void Loader::loadSea() {
    Texture* left = loadFile(kSeaTiles[0]);
    registerTexture(left, kSeaTiles[0].name);
    Texture* right = loadFile(kSeaTiles[1]);
    registerTexture(right, kSeaTiles[1].name);
    const std::vector<Skin*> cells = {textureSkins(left).at(0), textureSkins(right).at(0)};
    qor->resources().addResource(joinSkins(left, 2, 1, cells, 7), u"sea:all");
}

void Loader::loadJoinedHalves(const TextureFile& file, int anchor) {
    Texture* texture = loadFile(file);
    registerTexture(texture, file.name);
    const std::vector<Skin*> skins = textureSkins(texture);
    const std::vector<Skin*> cells = {skins.at(0), skins.at(1)};
    qor->resources().addResource(joinSkins(texture, 2, 1, cells, anchor), formatString(u"%s:all", file.name));
}

void Loader::chooseLanguage() {
    if (qor->singleLanguage >= 0) {
        qor->defaultLanguage = qor->singleLanguage;
        QOR_LOG("Loader::loadStuff", u"Single language mode (%d).", qor->singleLanguage);
        return;
    }
    QOR_LOG("Loader::loadStuff", u"Multilanguage mode (%d).", qor->defaultLanguage);
    bool anyAvailable = false;
    for (int i = 0; i < Language::kLanguageCount; ++i) {
        if (!qor->language().isLanguageAvailable(i)) continue;
        anyAvailable = true;
        if (qor->files().bUseWad) verifyLanguageFiles(i);
    }
    if (qor->defaultLanguage == -2) {
        qor->defaultLanguage = ContextLanguageSelect::autodetectLanguage();
    } else if (qor->defaultLanguage < 0) {
        // With nothing to choose from, asking would leave the player on an empty screen.
        if (!anyAvailable) {
            QOR_LOG("Loader::loadStuff", u"No language is available; using language 0.");
            qor->defaultLanguage = 0;
            return;
        }
        auto* screen = new ContextDialog();
        ContextLanguageSelect::create(screen);
        global->pContextManager->addChild(screen);
    }
}

void Loader::verifyLanguageFiles(int language) {
    std::u16string fontArchive = getArchivePath() + u"." + codePageOf(language);
    if (qor->hq2x == 2) fontArchive += u".hq2x";
    qor->files().verifyFileDisk(fontArchive);
    const std::u16string isoCode = qor->language().getString(language, StringId::LANGUAGEISOCODE);
    const auto* flags = static_cast<Texture*>(qor->resources().find(true, u"languageFlags"));
    const int skins = static_cast<int>(flags->skins.size());
    if (skins <= ContextLanguageSelect::isoCode2skinIndex(isoCode))
        assertionFailedAt("Loader::loadStuff", __FILE__, __LINE__,
                          "FIND_RESOURCE(Texture,TT(\"languageFlags\"))->skins.size()>"
                          "ContextLanguageSelect::isoCode2skinIndex(isoCode)");
}

void Loader::fontRes(bool recordOnly, const std::u16string& name, const std::u16string& prefix,
                     const std::u16string& folder, std::u16string codePage) {
    FileManager& files = qor->files();
    if (codePage.empty()) {
        // Building archives: every code page's files go into their archives.
        if (files.bCreateWad)
            for (int i = 0; i < Language::kLanguageCount; ++i) fontRes(true, name, prefix, folder, codePageOf(i));
        codePage = qor->language().getString(StringId::LANGUAGECODEPAGE);
    }
    files.useWad(getArchivePath() + u"." + codePage);
    const std::u16string stem = prefix + u"gfx/font/" + codePage + u"/";
    loadFontSheets(recordOnly, name, stem + folder + u"-%d.tga", 14, u"%s%d");
    loadFontSheets(recordOnly, name, stem + u"extra-" + folder + u"-%d.tga", 10, u"%sExtra%d");
    loadCodePointTable(recordOnly, prefix, codePage);
    loadFontLines(recordOnly, name, stem + folder + u".lines");
    files.useWad(getArchivePath());
    if (recordOnly || qor->resources().find(false, name + u"1")) return;
    if (codePage != u"1252") {
        fontRes(false, name, prefix, folder, u"1252");
        return;
    }
    QOR_FATAL("Loader::fontRes", u"Could not find any 8-bit glyphs for font '%s'", folder);
}

void Loader::loadFontSheets(bool recordOnly, const std::u16string& name, const std::u16string& pattern, int flags,
                            const std::u16string& registeredPattern) {
    for (int i = 1;; ++i) {
        const std::u16string path = formatString(pattern.c_str(), i);
        if (!qor->files().exists(path)) return;
        Texture* sheet = loadTextureFile(flags, path);
        if (recordOnly)
            sheet->destroy();
        else
            registerResource(sheet, formatString(registeredPattern.c_str(), name, i));
    }
}

void Loader::loadCodePointTable(bool recordOnly, const std::u16string& prefix, const std::u16string& codePage) {
    const std::u16string name = codePage + u".codepointLUT";
    const std::u16string path = prefix + u"gfx/font/" + codePage + u"/" + codePage + u".codepointLUT.bin";
    if (qor->resources().find(false, name) || !qor->files().exists(path)) return;
    auto* table = new MemoryFile(0, path);
    if (recordOnly)
        table->destroy();
    else
        registerResource(table, name);
}

void Loader::loadFontLines(bool recordOnly, const std::u16string& name, const std::u16string& path) {
    if (qor->resources().find(false, name + u"Lines") || !qor->files().exists(path)) return;
    auto* lines = new MemoryFile(0, path);
    if (recordOnly)
        lines->destroy();
    else
        registerResource(lines, name + u"Lines");
}

namespace {
// The lines measured on the font's own glyph art, where its archive has them: the
// accents of composite letters are stacked on them. Values outside the line are ignored.
void applyFontLines(FontQuad* font, const std::u16string& sheets) {
    auto* file = dynamic_cast<MemoryFile*>(qor->resources().find(false, sheets + u"Lines"));
    if (!file) return;
    file->load();
    MemoryIniFile lines(file->block);
    const int height = font->fontHeightRaw;
    font->fontUppercaseLineRaw = lines.getInt(u"Lines", u"capital", font->fontUppercaseLineRaw, 0, height);
    font->fontLowercaseLineRaw = lines.getInt(u"Lines", u"small", font->fontLowercaseLineRaw, 0, height);
}
}  // namespace

void Loader::createFont(int step) {
    struct FontStep {
        const char16_t* name;
        const char16_t* sheets;
        int width, spacing;
        int capitalLine, lowerLine;  // used where the archive has no measured lines
        bool cache, whiteCache, composite, pixelScaling;
    };
    static constexpr FontStep kFonts[5] = {
        {u"fontTiny", u"fontTinyTex", 3, 1, 0, 0, true, true, false, true},
        {u"fontSmall", u"fontSmallTex", 3, 0, 4, 7, true, true, false, true},
        {u"fontMedium", u"fontMediumTex", 5, 0, 2, 2, true, true, true, false},
        {u"fontLarge", u"fontLargeTex", 12, 0, 4, 4, false, false, true, false},
        {u"fontHUD", u"fontHUDTex", 3, -4, 0, 0, false, false, false, false},
    };
    constexpr std::uint16_t kFirstHudSymbol = 44;  // the comma
    const int index = step - 93;
    const FontStep& f = kFonts[index];
    auto* font = new FontQuad();
    font->fontName = f.name;
    font->defaultWidth = f.width;
    font->spacing = f.spacing;
    font->fontUppercaseLineRaw = f.capitalLine;
    font->fontLowercaseLineRaw = f.lowerLine;
    font->bUseCache = f.cache ? 1 : 0;
    font->bCacheClearWhite = f.whiteCache ? 1 : 0;
    if (index == Global::kFontHUD)
        font->addSourceTexture(static_cast<Texture*>(qor->resources().find(true, f.sheets)), kFirstHudSymbol, false);
    else
        font->loadGlyphSheets(f.sheets);
    applyFontLines(font, f.sheets);
    if (f.composite) font->setupCompositeChars();
    if (f.pixelScaling) font->enablePixelScaling();
    font->createCache();
    global->fonts[index] = font;
    registerResource(font, f.name);
}
