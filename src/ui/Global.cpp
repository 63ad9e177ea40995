#include "ui/Global.h"

#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "engine/Random.h"
#include "engine/SystemHelpers.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/QorAudio.h"
#include "language/Language.h"
#include "net/NetAddress.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSystem.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "runtime/Console.h"
#include "ui/ContextCrashReport.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextSplash.h"
#include "ui/GUIthemeMinimal.h"
#include "ui/GUIthemeStandard.h"
#include "ui/Loader.h"
#include "ui/UserFile.h"

Global* global = nullptr;

namespace {
constexpr int kVolumeSteps = 24;

// Step v of 0..24 as a global volume of 0..10000, computed in single precision and
// truncated, so that the steps land where the option screens promise (24 -> 10000).
int volumeFromStep(int step) {
    const float f = static_cast<float>(step) / static_cast<float>(kVolumeSteps);
    return static_cast<int>(f * static_cast<float>(AudioConfig::kFullVolume));
}

// The sizes of the records as they are stored, for checking a build against its files.
void logRecordSizes() {
    Console& console = qor->console();
    console.addLine(u"sizeof(bool)=%d", static_cast<int>(sizeof(bool)));
    console.addLine(u"sizeof(NetAddress)=%d", static_cast<int>(sizeof(NetAddress)));
    console.addLine(u"sizeof(sockaddr_in)=%d", static_cast<int>(sizeof(sockaddr_in)));
    console.addLine(u"sizeof(GameConfiguration)=%d", static_cast<int>(GameConfiguration::kSize));
    console.addLine(u"sizeof(HIGHSCOREENTRY)=%d", static_cast<int>(HIGHSCOREENTRY::kSize));
    console.addLine(u"sizeof(ProfileData)=%d", static_cast<int>(ProfileData::kSize));
    console.addLine(u"sizeof(ProfileManager)=%d", static_cast<int>(ProfileManager::kSize));
}

template <class T>
void destroyOwned(T*& object) {
    if (object) object->destroy();
    object = nullptr;
}
}  // namespace

Context* Global::scene() { return pContextManager; }

bool Global::quitRequested() const { return pContextManager && pContextManager->bQuitRequested; }

Global::~Global() {
    destroyOwned(pMenuBackground);
    destroyOwned(pMenuForeground);
    delete pThemeStandard;  // the themes are plain objects, not in the object tree
    delete pThemeMinimal;
    pThemeStandard = nullptr;
    pThemeMinimal = nullptr;
    destroyOwned(pContextManager);
    destroyOwned(resourceRoot);
    pendingUrl.clear();
    if (global == this) global = nullptr;
    // The profiles, then the configuration record, save themselves as members going.
}

void Global::initPreLoader() {
    ClassRegistry* m = &ClassRegistry::instance();
    m->buildIndex();
    QOR_ASSERT("Global::initPreLoader", !m->bBadClasses);
    if (!qor->bDebugLocked && qor->pConsole) logRecordSizes();
    resourceRoot = new QorBase();
    qor->files().useWad(getArchivePath());
    // The loading screen's own pictures, before anything else is loaded.
    Loader::loadOwnPictures();
    pContextManager = new ContextManager();
    pContextManager->addChild(new Loader());
}

void Global::initPostLoader() {
    pThemeStandard = new GUIthemeStandard();
    pThemeMinimal = new GUIthemeMinimal();
    pMenuBackground = new ContextMenuBackground();
    pMenuForeground = new Context();
    createStartScreens();
    pContextManager->addChild(new ContextSplash());
    if (fileExists(getCrashLogPath()) || fileExists(getCrashDumpPath()))
        pContextManager->addChild(new ContextCrashReport());
    QOR_LOG("Global::initPostLoader", u"Global initialization complete at t=%.3lf sec.",
            qor->timeKeeper().getPhysicalTime());
}

void Global::applySettings(int width, int height) {
    const GameConfiguration& c = configuration;
    // Both frame starts move to now, on the pacer's own clock, so the next wait starts afresh.
    qor->timer.start(1.0 / static_cast<double>(c.maxFps));
    static constexpr std::int32_t kRates[3] = {11025, 22050, 44100};
    if (qor->pQorAudio) qor->audio().frequency = kRates[c.audioQuality];  // none where sound is off
    AudioSystem& audio = QorAudio::library();
    const int sample = c.bMuteAudio ? 0 : volumeFromStep(c.soundVolume);
    const int music = c.bMuteAudio ? 0 : volumeFromStep(c.musicVolume);
    audio.setConfig(AudioConfig::kSampleVolume, sample);
    audio.setConfig(AudioConfig::kMusicVolume, music);
    audio.setConfig(AudioConfig::kStreamVolume, music);
    if (QorGraphics* g = qor->pQorGraphics) {
        // The graphics service restarts the device itself when anything changed. Full
        // screen, vertical sync, letterbox and filtering are also per-machine settings of
        // the graphics service, which open the window before any user file is read; from
        // here on the configuration record wins (it is what the options screens change),
        // and the graphics service writes the values it now has back to the per-machine
        // settings at exit, so the next start opens the window the way the player left it.
        g->changePresentationParameters(width, height, c.bFullScreen, c.bAllowLetterbox, c.bBilinearFilter,
                                        c.bUseVSync);
        g->bHighDetail = c.detail >= 1 ? 1 : 0;  // text shadows
    }
}

void Global::saveUserData() {
    QOR_LOG("Global::saveUserData", u"Saving.");
    profiles.save();
    configuration.save();
    if (qor) qor->saveSettings();
}

std::u16string formatWithThousandsSeparator(std::int32_t value) {
    std::u16string digits = formatString(u"%d", value);
    const std::u16string separator = qor->language().getString(StringId::THOUSANDSEPARATOR);
    const std::size_t first = digits.starts_with(u'-') ? 1 : 0;
    // From the right, a separator before every third digit that has a digit to its left.
    for (std::size_t count = 3; digits.size() - first > count; count += 3 + separator.size())
        digits.insert(digits.size() - count, separator);
    return digits;
}

std::u16string formatPercent(float fraction) {
    return formatString(u"%.3lf%%", static_cast<double>(fraction * 100.0f));
}

std::uint32_t randomBrightColour() {
    const std::uint32_t k = Random::next() % 6 + 1;
    std::uint32_t channel[3];
    for (std::uint32_t i = 0; i < 3; ++i) channel[i] = (k >> i & 1) ? 255 : Random::next() % 5 * 32;
    return 0xFF000000u | channel[0] << 16 | channel[1] << 8 | channel[2];
}

std::u16string getArchiveFileName() { return getProductName() + u".dat"; }

std::u16string getApplicationBaseFolder() { return getApplicationFolder(); }

std::u16string getArchivePath() { return getApplicationBaseFolder() + getArchiveFileName(); }
