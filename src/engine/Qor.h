#pragma once
// The engine object: one per run, reached through `qor`. It owns the engine's services,
// builds them in a fixed order (each may use those built before it), runs the frame
// loop and the engine modes, and tears everything down in the reverse of a fixed order.
#include <array>
#include <cstdint>
#include <string>

#include "engine/BasicLink.h"
#include "engine/QorTimer.h"

class ClassInfo;
class Console;
class Context;
class ErrorManager;
class FileManager;
class FontGDI;
class Language;
class Logger;
class MemoryIniFile;
class MouseDispatcher;
class QorAudio;
class QorBase;
class QorGraphics;
class QorInput;
class QorNetwork;
class ResourceManager;
class TimeKeeper;
class Window;

// The drawing work of one frame, zeroed at the start of every frame.
struct FrameCounters {
    int renderablesVisible = 0;
    int renderablesVisited = 0;
    int vertices = 0;
    int texturesUsed = 0;
    int texelsUsed = 0;
    int collisions = 0;
    int vertexBufferWrites = 0;
    int visualUpdates = 0;
    int inverseTransforms = 0;
};

// When the phases of the last worked frame ended, in seconds of engine time, for the
// developer overlays. While the overlays draw, the last three still hold the previous
// frame's values.
struct FramePhases {
    double frameStart = 0.0;
    double tickStart = 0.0;
    double consoleDone = 0.0;   // the console ticked (before the scene)
    double sceneDone = 0.0;     // the scene ticked and its pointer events dispatched
    double drawingDone = 0.0;   // the scene drawn and the statistics recorded
    double overlaysDone = 0.0;  // the frame's drawing closed
    double presentDone = 0.0;   // the frame presented
    double waitDone = 0.0;      // the pacing wait over
    double overlayTime = 0.0;   // s, the overlays of the previous frame
    double unpacedRate = 0.0;   // 1 / work time of this frame
};

class Qor {
public:
    // Engine modes.
    static constexpr int MODE_FROZEN = 1;  // the drawing device is lost: nothing is drawn
    static constexpr int MODE_PAUSED = 2;  // the window is inactive: drawn, ticked only if asked
    static constexpr int MODE_OK = 3;      // running
    // The value of the "debugCode" setting that unlocks the debugging aids.
    static constexpr int kDebugAccessCode = 47281;
    static constexpr int kStatisticsFrames = 512;

    // Builds every service; a failure in any of them is fatal. Sets `qor` first.
    Qor(void* appInstance, Window* window);
    // An engine object without services, for tools and tests that use the object model
    // without a window: no log, no devices; fatal errors still end the process.
    struct Headless {};
    explicit Qor(Headless);
    virtual ClassInfo* getClass() const;
    virtual ~Qor();
    Qor(const Qor&) = delete;
    Qor& operator=(const Qor&) = delete;
    static ClassInfo classInfo;

    // One frame over `scene` (may be null).
    void frame(Context* scene);
    // Moves the mode one step at a time toward `mode`, telling everyone of each step.
    void changeQORmode(int mode);
    // The duration of the last paced frame (F11 x5, F10 /10 while debugging).
    double getDeltaTime() const;
    void saveSettings();

    static std::u16string getConfigFileName();
    static std::u16string getConfigFilePath();
    static std::u16string getStaticConfigFileName();
    static std::u16string getStaticConfigFilePath();

    // Calls `f` on every live engine object in construction order, and on the objects
    // made during the walk. A visit may destroy objects, other ones too (a font cache
    // destroys its pages when it is purged).
    template <class F>
    void forEachObject(F f);
    // Every object gives back what it can make again when next needed: textures unused
    // since the last frame, font caches' rows, sounds and music streams not playing.
    void purgeResources();

    // The services. Each accessor is fatal when its service does not exist: code that
    // needs a service asks for it here instead of testing the field for null, and a test
    // builds the services its code uses.
    Logger& logger() const { return need(pLogger, "pLogger"); }
    MemoryIniFile& settings() const { return need(pSettings, "pSettings"); }
    ErrorManager& errors() const { return need(pErrorManager, "pErrorManager"); }
    QorInput& input() const { return need(pQorInput, "pQorInput"); }
    QorGraphics& graphics() const { return need(pQorGraphics, "pQorGraphics"); }
    QorAudio& audio() const { return need(pQorAudio, "pQorAudio"); }
    QorNetwork& network() const { return need(pQorNetwork, "pQorNetwork"); }
    FileManager& files() const { return need(pFileManager, "pFileManager"); }
    ResourceManager& resources() const { return need(pResourceManager, "pResourceManager"); }
    TimeKeeper& timeKeeper() const { return need(pTimeKeeper, "pTimeKeeper"); }
    Console& console() const { return need(pConsole, "pConsole"); }
    FontGDI& defaultFont() const { return need(pDefaultFont, "pDefaultFont"); }
    MouseDispatcher& mouseDispatcher() const { return need(pMouseDispatcher, "pMouseDispatcher"); }
    Language& language() const { return need(pLanguage, "pLanguage"); }

    void* hAppInstance = nullptr;
    Window* hWindowHandle = nullptr;
    Logger* pLogger = nullptr;
    MemoryIniFile* pSettings = nullptr;  // the per-machine settings file
    ErrorManager* pErrorManager = nullptr;
    QorInput* pQorInput = nullptr;
    QorGraphics* pQorGraphics = nullptr;
    QorAudio* pQorAudio = nullptr;
    QorNetwork* pQorNetwork = nullptr;
    FileManager* pFileManager = nullptr;
    ResourceManager* pResourceManager = nullptr;
    TimeKeeper* pTimeKeeper = nullptr;
    Console* pConsole = nullptr;
    QorTimer timer;
    FontGDI* pDefaultFont = nullptr;
    MouseDispatcher* pMouseDispatcher = nullptr;
    Language* pLanguage = nullptr;
    std::uint8_t bDebugLocked = 1;  // debugging aids stay off while set
    int debugLevel = 0;             // bit mask of debug overlays
    int defaultLanguage = -2;       // the user's language; -2 never chosen, -1 choose again
    bool bTickWhilePaused = false;
    double maxTimeStep = 0.05;    // s, the largest step of a context's clock
    double fps = 0.0;             // frames per second of the last whole paced frame
    std::uint8_t bShutdown = 0;   // mode changes are refused once set
    int singleLanguage = 0;       // >= 0 fixes the language
    std::u16string languageMask;  // one character per language, '1' available
    bool bHoliday = false;
    int ditherDepth = 0;
    int hq2x = 0;
    bool bEnableDelayedLoad = false;
    bool windowActive = true;
    bool resetRequest = false;
    int frameCounter = 0;  // worked frames so far
    int pixelScalingOff = 1;
    FrameCounters counters;
    FramePhases phases;
    // Work time in ms, then resident bytes of textures, image files, sounds and streams.
    std::array<std::array<int, kStatisticsFrames>, 5> statistics{};
    BasicLink objectList;         // every live QorBase, in construction order
    double totalFrameTime = 0.0;  // s, sum of work times
    Context* pCurrentContext = nullptr;
    int qorMode = MODE_OK;
    std::u16string osName = u"<unknown>";  // the system's short name, set by the system report

private:
    template <class Service>
    static Service& need(Service* service, const char* field) {
        if (!service) serviceMissing(field);
        return *service;
    }
    [[noreturn]] static void serviceMissing(const char* field);

    void readStaticSettings();
    void readEngineSettings();
    void createServices();
    bool runModeMachine();
    void pollDevices();
    void tickConsole();
    void tickScene(Context* scene);
    void drawScene(Context* scene);
    void drawDeveloperLayers(Context* scene);
    void present(bool worked);
    void serveResetRequest();
    void recordStatistics(double t1);
    void takeScreenshotOnKey(Context* scene);
    void tearDownServices();
    void reportLeaks();
    int countObjects();
    void dumpSystemInfo();
};

// The one engine object, or null while none exists.
extern Qor* qor;

#include "engine/Link.h"
#include "engine/QorBase.h"

template <class F>
void Qor::forEachObject(F f) {
    // The walk goes on from a node of its own, kept right behind the object being visited:
    // whatever a visit destroys, this node stays in the list. Another walk's node (a visit
    // may walk too) has no object.
    struct Cursor : EngineListNode {
        Cursor() : EngineListNode(nullptr) {}
        ~Cursor() override {
            if (parent) parent->removeChild(this);
        }
    } cursor;
    BasicLink* node = objectList.firstChild;
    while (node) {
        objectList.insertChildAfter(&cursor, node);
        if (QorBase* object = static_cast<EngineListNode*>(node)->target) f(object);
        node = cursor.next;
        objectList.removeChild(&cursor);
    }
}
