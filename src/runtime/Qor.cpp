#include "engine/Qor.h"

// The engine object's construction, frame loop and shutdown: the parts of `Qor` that
// build and drive the services, and so stand above their layers.

#include <algorithm>
#include <ctime>
#include <iterator>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/QorProcessEntry.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/MouseDispatcher.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundStream.h"
#include "language/Language.h"
#include "net/QorNetwork.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"
#include "platform/SystemClock.h"
#include "platform/SystemInfo.h"
#include "render/Context.h"
#include "render/FontGDI.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Texture.h"
#include "runtime/Console.h"
#include "runtime/FrameOverlays.h"

namespace {
// Input codes the engine itself reads.
constexpr int kKeyRightShift = 54;
constexpr int kKeyF9 = 67;
constexpr int kKeyF10 = 68;
constexpr int kKeyF11 = 87;
constexpr std::uint8_t kKeyDown = 0x80;

// The smallest frame or work time the statistics divide by.
constexpr double kMinFrameTime = 1e-5;

double gameTime() { return qor->timeKeeper().now(); }
}  // namespace

Qor::Qor(void* appInstance, Window* window) : hAppInstance(appInstance), hWindowHandle(window) {
    // Services reach the engine through `qor` while they are being built.
    qor = this;
    Random::seed(SystemClock::standard().milliseconds() / 1000);
    pLogger = new Logger();
    QOR_LOG("Qor::Qor", u"Torvane 2 engine");
    QOR_LOG("Qor::Qor", u"Version: QorUDX9 build %hs %hs", __DATE__, __TIME__);
    dumpSystemInfo();
    pErrorManager = new ErrorManager();
    pTimeKeeper = new TimeKeeper();
    pFileManager = new FileManager();
    readStaticSettings();
    pSettings = new MemoryIniFile(getConfigFilePath(), MemoryIniFile::PerMachine{});
    readEngineSettings();
    createServices();
    timer.start(0.001);
    QOR_LOG("Qor::Qor", u"Started.");
}

void Qor::readStaticSettings() {
    pFileManager->bDiskOnly = 1;
    pFileManager->verifyFile(getStaticConfigFilePath());
    MemoryIniFile file(getStaticConfigFilePath());
    singleLanguage = file.getInt(u"Language", u"singleLanguage");
    bHoliday = file.getBool(u"Edition", u"bHoliday");
    ditherDepth = file.getInt(u"Graphics", u"ditherDepth");
    hq2x = file.getInt(u"Graphics", u"hq2x");
    languageMask = file.getString(u"Language", u"languageMask");
    pFileManager->bDiskOnly = 0;
    QOR_LOG("Qor::Qor", u"HQ2X: %d", hq2x);
}

void Qor::readEngineSettings() {
    const std::u16string section = classInfo.name;
    MemoryIniFile& s = *pSettings;
    s.getString(section, u"warning", u"Do NOT modify this file unless you are explicitly instructed to do so!");
    debugLevel = s.getInt(section, u"debugLevel", 0);
    const int debugCode = s.getInt(section, u"debugCode", 1);
    defaultLanguage = s.getInt(section, u"defaultLanguage", -2);
    bTickWhilePaused = s.getBool(section, u"bTickWhilePaused", false);
    bEnableDelayedLoad = s.getBool(section, u"bEnableDelayedLoad", true) && !pFileManager->bCreateWad;

    bDebugLocked = debugCode != kDebugAccessCode;
    if (bDebugLocked) debugLevel = 0;
}

void Qor::createServices() {
    pResourceManager = new ResourceManager();
    pMouseDispatcher = new MouseDispatcher();
    pQorInput = new QorInput();
    pQorGraphics = new QorGraphics(*hWindowHandle);
    pQorInput->initInputMode();
    pQorAudio = new QorAudio();
    pDefaultFont = new FontGDI(12, 1.0f, 1.0f, 1.0f, u"Arial");
    pConsole = new Console();
    pQorNetwork = new QorNetwork();
    pLanguage = new Language();
}

Qor::~Qor() {
    QOR_LOG("Qor::~Qor", u"Initiating shutdown...");
    bShutdown = 1;
    if (frameCounter > 0)
        QOR_LOG("Qor::~Qor", u"Rendered %d frames, avg=%.1lfms.", frameCounter,
                static_cast<double>(static_cast<float>(totalFrameTime * 1000.0 / frameCounter)));
    saveSettings();
    tearDownServices();
    if (!bDebugLocked) reportLeaks();
    QOR_LOG("Qor::~Qor", u"Done. Clean exit.");
    delete pLogger;
    pLogger = nullptr;
    // Objects that outlived the engine keep their nodes; detach them from the head so
    // that its destructor does not free nodes it does not own.
    while (BasicLink* node = objectList.firstChild) objectList.removeChild(node);
    if (qor == this) qor = nullptr;
}

void Qor::tearDownServices() {
    // The fixed order of teardown; the countdown is logged even for absent services.
    auto step = [](int n, auto*& service) {
        QOR_LOG("Qor::~Qor", u"%d...", n);
        delete service;
        service = nullptr;
    };
    step(1, pLanguage);
    step(2, pQorNetwork);
    QOR_LOG("Qor::~Qor", u"%d...", 3);
    if (pConsole) pConsole->destroy();
    pConsole = nullptr;
    QOR_LOG("Qor::~Qor", u"%d...", 4);
    if (pDefaultFont) pDefaultFont->destroy();
    pDefaultFont = nullptr;
    step(5, pQorAudio);
    step(6, pQorGraphics);
    step(7, pQorInput);
    step(8, pMouseDispatcher);
    step(9, pResourceManager);
    step(10, pSettings);
    step(11, pFileManager);
    QOR_LOG("Qor::~Qor", u"%d...", 12);
    if (pTimeKeeper) pTimeKeeper->destroy();
    pTimeKeeper = nullptr;
    step(13, pErrorManager);
    QOR_LOG("Qor::~Qor", u"%d...", 14);
}

// The machine in the log: system version, memory figures and the tree of processes.
// Nothing here is fatal.
void Qor::dumpSystemInfo() {
    const SystemInfo::OsVersion version = SystemInfo::osVersion();
    if (!version.name.empty()) osName = utf8ToWide(version.name);
    QOR_LOG("Qor::dumpSystemInfo", u"Operating system version : %s", osName);
    QOR_LOG("Qor::dumpSystemInfo", u"dwMajorVersion: %08x", version.major);
    QOR_LOG("Qor::dumpSystemInfo", u"dwMinorVersion: %08x", version.minor);
    QOR_LOG("Qor::dumpSystemInfo", u"dwBuildNumber: %08x", version.build);
    QOR_LOG("Qor::dumpSystemInfo", u"szCSDVersion: %s", utf8ToWide(version.details));
    QOR_LOG("Qor::dumpSystemInfo", u"Memory information:");
    const SystemInfo::MemoryStatus memory = SystemInfo::memoryStatus();
    QOR_LOG("Qor::dumpSystemInfo", u"dwMemoryLoad: %d", memory.loadPercent);
    const std::pair<const char16_t*, std::uint64_t> figures[] = {
        {u"dwTotalPhys", memory.totalPhysical},  {u"dwAvailPhys", memory.availablePhysical},
        {u"dwTotalPageFile", memory.totalSwap},  {u"dwAvailPageFile", memory.availableSwap},
        {u"dwTotalVirtual", memory.totalCommit}, {u"dwAvailVirtual", memory.availableCommit}};
    for (const auto& [name, bytes] : figures) QOR_LOG("Qor::dumpSystemInfo", u"%s: %I64dK", name, bytes >> 10);

    const std::vector<SystemInfo::ProcessEntry> processes = SystemInfo::listProcesses();
    if (processes.empty()) return;
    QOR_LOG("Qor::dumpSystemInfo", u"Process tree:");
    QorProcessEntry root;
    for (const auto& p : processes)
        root.insert(new QorProcessEntry(p.processId, p.parentProcessId, utf8ToWide(p.name)));
    root.dump(u"");
}

void Qor::saveSettings() {
    if (!pSettings) return;
    if (pQorGraphics) pQorGraphics->saveConfig(*pSettings);
    pSettings->setInt(classInfo.name, u"defaultLanguage", defaultLanguage);
    pSettings->save();
}

double Qor::getDeltaTime() const {
    double dt = timer.frameStart - timer.previousFrameStart;
    if (!bDebugLocked && pQorInput) {
        if (pQorInput->keyState[kKeyF11] & kKeyDown)
            dt *= 5.0;
        else if (pQorInput->keyState[kKeyF10] & kKeyDown)
            dt /= 10.0;
    }
    return dt;
}

void Qor::changeQORmode(int mode) {
    QOR_LOG("Qor::changeQORmode", u"Change request from %d to %d (t=%.3lf).", qorMode, mode,
            pTimeKeeper ? gameTime() : 0.0);
    if (bShutdown) {
        QOR_LOG("Qor::changeQORmode", u"Shutdown in progress -- ignoring.");
        return;
    }
    while (qorMode != mode) {
        const int oldMode = qorMode;
        const int newMode = mode > oldMode ? oldMode + 1 : oldMode - 1;
        // Listeners see the new mode already in force while they are told of the step.
        qorMode = newMode;
        QOR_LOG("Qor::changeQORmode", u"Changing mode from %d to %d.", oldMode, newMode);
        if (pQorAudio) pQorAudio->onQORmodeChange(oldMode, newMode);
        if (pQorGraphics) pQorGraphics->onQORmodeChange(oldMode, newMode);
        if (pQorInput) pQorInput->onQORmodeChange(oldMode, newMode);
        QOR_LOG("Qor::changeQORmode", u"Notifying %d objects.", objectList.countChildren());
        forEachObject([=](QorBase* o) { o->onQORmodeChange(oldMode, newMode); });
    }
    QOR_LOG("Qor::changeQORmode", u"Mode change complete.");
}

// The mode machine: true when the frame goes on to its body. A frame that changes the
// mode draws nothing, so recovery from a lost device always passes through paused.
bool Qor::runModeMachine() {
    if (qorMode == MODE_FROZEN) {
        if (!windowActive) {
            sleepMilliseconds(100);
            return false;
        }
        const std::int32_t test = pQorGraphics->dxDevice->testCooperativeLevel();
        if (test >= 0 || test == ResultCode::kDeviceNotReset) {
            if (pQorGraphics->restorePresentation(true)) {
                changeQORmode(MODE_PAUSED);
            } else {
                QOR_LOG("Qor::frame", u"restorePresentation() failed. Aborting...");
                sleepMilliseconds(1000);
            }
        } else {
            QOR_LOG("Qor::frame", u"FROZEN dxDevice->TestCooperativeLevel() returned %s.", hresultToString(test));
            sleepMilliseconds(1000);
        }
        return false;
    }
    const std::int32_t test = pQorGraphics->dxDevice->testCooperativeLevel();
    if (test < 0) {
        QOR_LOG("Qor::frame", u"%hs dxDevice->TestCooperativeLevel() returned %s.",
                qorMode == MODE_OK ? "OK" : "PAUSED", hresultToString(test));
        changeQORmode(MODE_FROZEN);
        return false;
    }
    if (qorMode == MODE_OK) {
        if (windowActive) return true;
        changeQORmode(MODE_PAUSED);
        return false;
    }
    if (windowActive) {
        changeQORmode(MODE_OK);
        return false;
    }
    if (!bTickWhilePaused) sleepMilliseconds(500);
    return true;
}

// One frame. Order matters: input is polled before anything ticks; the console ticks
// before the scene, since while it is open (and in the frame its chord opens or closes
// it) the keyboard is its alone and the scene ticks without it; the scene's pointer
// events are dispatched after its tree has ticked (so hit tests see this frame's
// positions); the console draws above the scene; the overlays come last so they can
// show what the frame cost.
void Qor::frame(Context* scene) {
    if (!runModeMachine()) return;
    const bool worked = qorMode == MODE_OK || (qorMode == MODE_PAUSED && bTickWhilePaused);
    counters = FrameCounters{};
    if (worked) {
        ++frameCounter;
        pollDevices();
        tickConsole();
        if (console().bKeyboardTaken)
            input().runWithoutKeyboard([&] { tickScene(scene); });
        else
            tickScene(scene);
    }
    drawScene(scene);
    if (worked) drawDeveloperLayers(scene);
    present(worked);
    input().nextTypedCharacter();
    serveResetRequest();
}

void Qor::pollDevices() {
    input().poll();
    audio().update(100);
}

void Qor::tickConsole() {
    phases.frameStart = phases.tickStart = gameTime();
    console().frameTick(0.0, 0.0);
    phases.consoleDone = gameTime();
}

void Qor::tickScene(Context* scene) {
    if (scene) {
        scene->frameTick(0.0, 0.0);
        mouseDispatcher().update(scene);
    }
    phases.sceneDone = gameTime();
}

void Qor::drawScene(Context* scene) {
    // Results of the scene brackets are of no use: a lost device shows in the next test.
    graphics().dxDevice->beginScene();
    graphics().clear();
    if (scene) scene->frameRender();
}

void Qor::drawDeveloperLayers(Context* scene) {
    recordStatistics(phases.tickStart);
    takeScreenshotOnKey(scene);
    // The overlays show the drawing counters as they stood before the console drew.
    const FrameCounters sceneCounters = counters;
    console().frameRender();
    if (debugLevel != 0) FrameOverlays::draw(phases, sceneCounters);
}

void Qor::present(bool worked) {
    graphics().dxDevice->endScene();
    phases.overlaysDone = gameTime();
    phases.overlayTime = phases.overlaysDone - phases.drawingDone;
    graphics().flip();
    if (!worked) return;
    phases.presentDone = gameTime();
    timer.wait();
    phases.waitDone = gameTime();
}

// A presentation reset is served from the running mode: freezing and the restore of the
// next frames apply it. Requested in another mode, it waits until running again.
void Qor::serveResetRequest() {
    if (!resetRequest || qorMode != MODE_OK) return;
    changeQORmode(MODE_FROZEN);
    resetRequest = false;
}

void Qor::recordStatistics(double t1) {
    const double t4 = phases.drawingDone = gameTime();
    double workTime = t4 - t1;
    totalFrameTime += workTime;
    if (workTime < kMinFrameTime) workTime = kMinFrameTime;
    phases.unpacedRate = 1.0 / workTime;
    // The rate of the last whole frame, between the starts the pacer booked: taken between
    // the ends of drawing, it would read above the cap whenever a frame drew faster than
    // the one before it. Right after the pacer (re)started there is no whole frame yet.
    const double paced = timer.frameStart - timer.previousFrameStart;
    if (paced > 0.0) fps = 1.0 / std::max(paced, kMinFrameTime);
    const int i = frameCounter % kStatisticsFrames;
    statistics[0][i] = static_cast<int>(workTime * 1000.0);
    statistics[1][i] = textureBytes;
    statistics[2][i] = imageFileBytes;
    statistics[3][i] = Sound::residentSoundBytes;
    statistics[4][i] = SoundStream::residentStreamBytes;
}

void Qor::takeScreenshotOnKey(Context* scene) {
    const auto& keys = pQorInput->keyState;
    const auto& prevKeys = pQorInput->previousKeyState;
    if (!(keys[kKeyF9] & kKeyDown) || (prevKeys[kKeyF9] & kKeyDown)) return;
    const bool tga = keys[kKeyRightShift] & kKeyDown;
    const std::u16string name = formatString(u"%s%s %s %.3lf.%s", getDataFolder(), kBuildName,
                                             getLocalTimeStamp(std::time(nullptr)), gameTime(), tga ? u"tga" : u"bmp");
    pQorGraphics->saveScreenshot(scene, name);
}
