#pragma once
// The graphics service: the engine's one drawing device, its video modes and the
// virtual screen of 800 by 480 units that every layout uses, fitted into the chosen
// back buffer with bars (letterbox or pillarbox) when the shapes differ too much.
//
// Built by the engine object after input and before audio; reads and writes its own
// section "QorGraphics" of the per-machine settings. Owns the drawing device (dxDevice)
// and the display adapter (dxD3D). Every change of presentation (size, full screen,
// retrace wait, letterbox) goes through a reset: the engine freezes, restorePresentation
// resets the device, re-applies the render states and tells every engine object.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "inputaudio/ViewportMapping.h"
#include "platform/DisplayAdapter.h"

class ClassInfo;
class Context;
class GraphicsDevice;
class MemoryImageFile;
class MemoryIniFile;
class Window;
struct PresentParameters;

class QorGraphics {
public:
    // Reads the settings, lists the modes, chooses one and makes the device on `window`;
    // any failure is fatal.
    explicit QorGraphics(Window& window);
    virtual ClassInfo* getClass() const;
    // Leaves full screen first, so that the desktop is whole before the device goes.
    virtual ~QorGraphics();
    virtual void onQORmodeChange(int oldMode, int newMode);
    static ClassInfo classInfo;
    QorGraphics(const QorGraphics&) = delete;
    QorGraphics& operator=(const QorGraphics&) = delete;

    // Stores the presentation settings into the per-machine settings file.
    void saveConfig(MemoryIniFile& settings);
    // Adds a size to `videoModes` unless it is there; the list stays ascending.
    void addVideoMode(int width, int height);
    // The mode choice: back-buffer format and size, window size and viewport.
    void calcClosestMatchParameters(bool fullScreen, int width, int height);
    void fillPresentParameters(PresentParameters& parameters);
    // The viewport as the window's drawable pixels see it (through the back buffer's
    // scaling in full screen).
    ViewportMapping viewportMapping() const;
    // Window client pixels to virtual-screen units (y up), clamped to the viewport.
    Vector3 windowToScreen(float x, float y, float z) const;
    static std::u16string formatName(std::uint32_t format);
    // Bits per pixel of a back-buffer format; 0 (and a log line) for any other.
    static int D3DFORMAT2bits(std::uint32_t format);

    // The one set of drawing states every drawing class relies on.
    void setGlobalRenderState();
    // Clears the whole back buffer (red bars while debugging) and selects the viewport.
    void clear();
    void flip();
    // Resets the device when asked (falling back to the desktop mode, then to a window,
    // when the requested presentation cannot be had), then re-derives everything that
    // depends on the presentation. False only when no presentation at all could be had.
    bool restorePresentation(bool reset);
    // Applies option values; a change of presentation asks the engine for a reset.
    void changePresentationParameters(int width, int height, bool fullScreen, bool allowLetterbox, bool bilinearFilter,
                                      bool useVSync);
    void adjustWindow();
    void setGamma();
    // Saves the frame drawn so far as the first of ".tga", ".bmp", ".jpg" found in `path`
    // (case-sensitive) says; none of them writes nothing. A TGA gets true alpha from a
    // second, silhouette drawing of `scene` (may be null), after which the frame is
    // drawn again as it was; a JPEG has quality 60. False when nothing was written.
    bool saveScreenshot(Context* scene, const std::u16string& path);
    // The back buffer as a new blank image of its size (the caller owns it); left as made
    // (transparent black) when the device cannot be read.
    MemoryImageFile* captureBackBuffer();
    // The start-up report of the device: adapter texts, then every capability.
    void dumpAdapterInfo();
    void dumpCaps();
    // The fatal path: leaves full screen and lets the device go.
    void restoreDesktop();

    Vector3 pixelScale{0.0f, 0.0f, 0.0f};       // scale of scale-mode-2 objects; 0 until the first restore
    Vector3 texelAlignment{0.5f, -0.5f, 0.0f};  // sub-pixel offset of the cameras, in pixels
    std::uint8_t bFullScreen = 1;
    std::uint8_t bBilinearFilter = 1;
    std::uint8_t bUseVSync = 0;  // wait for the retrace in full screen
    std::uint8_t bEnableFontCache = 1;
    std::uint8_t bUseHardwareTL = 1;
    std::uint8_t bSimulate256x256TextureHW = 1;
    int virtualWidth = 800;  // virtual-screen units
    int virtualHeight = 480;
    int videoModeWidth = -1;  // requested, then chosen, mode; -1 the desktop's
    int videoModeHeight = -1;
    int viewportWidth = 0;  // back-buffer pixels
    int viewportHeight = 0;
    int bitsPerPixel = 0;
    float virtualAspect = 0.0f;        // virtualHeight / virtualWidth
    float viewportAspect = 0.0f;       // viewportHeight / viewportWidth
    std::uint8_t bSilhouettePass = 0;  // set only while a screenshot draws its alpha
    std::uint8_t bHighDetail = 0;
    QorBase videoModes;                                                            // the VideoMode children, ascending
    int viewportLeft = 0, viewportTop = 0, viewportBottom = 0, viewportRight = 0;  // back-buffer pixels
    GraphicsDevice* dxDevice = nullptr;                                            // owned
    std::uint8_t bAllowLetterbox = 1;
    int backBufferWidth = 0;  // pixels
    int backBufferHeight = 0;
    DisplayMode desktopMode;             // the desktop's mode at construction
    WorkArea workArea;                   // the desktop's free area at construction
    DisplayAdapter* dxD3D = nullptr;     // owned
    std::uint32_t backBufferFormat = 0;  // a PixelFormat value

private:
    void connectServices(bool connect);
    void readSettings();
    void listAdapterModes();
    void readDesktop();
    void createDevice();
    bool findFullScreenFormat(std::uint32_t& format);
    void chooseWindowSize(int width, int& w, int& h);
    void limitBackBuffer(int& w, int& h);
    void chooseViewport(int w, int h);
    bool tryReset();
    bool resetWithFallback();
    void silhouettePass(Context* scene, MemoryImageFile& image);
    void updatePixelScale();
    void notifyObjects();

    Window& window;
};
