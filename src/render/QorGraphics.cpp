#include "render/QorGraphics.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MathHelpers.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
#include "engine/VirtualScreen.h"
#include "inputaudio/QorInput.h"
#include "platform/DeviceCaps.h"
#include "platform/GraphicsDevice.h"
#include "platform/PixelFormat.h"
#include "platform/ResultCode.h"
#include "platform/Window.h"
#include "render/CapsReport.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/VideoMode.h"

QOR_DEFINE_ROOT_CLASS(QorGraphics, nullptr)

namespace {
constexpr char kConstructor[] = "QorGraphics::QorGraphics";
constexpr char kChoice[] = "QorGraphics::calcClosestMatchParameters";
constexpr char kRestore[] = "QorGraphics::restorePresentation";

// The formats a full-screen back buffer may take, the wanted one first.
constexpr std::uint32_t kFormatSearch[] = {PixelFormat::kX8R8G8B8, PixelFormat::kX8R8G8B8, PixelFormat::kA8R8G8B8,
                                           PixelFormat::kR5G6B5, PixelFormat::kX1R5G5B5};
constexpr std::uint32_t kListedFormats[] = {PixelFormat::kX8R8G8B8, PixelFormat::kA8R8G8B8, PixelFormat::kR5G6B5,
                                            PixelFormat::kX1R5G5B5};
constexpr std::uint32_t kClearColour = 0xFF000000u;
constexpr std::uint32_t kDebugClearColour = 0xFFFF0000u;  // the bars show red while debugging
constexpr int kWorkAreaMarginX = 20;
constexpr int kWorkAreaMarginY = 40;

int evenDown(int v) { return v - v % 2; }

std::u16string section() { return QorGraphics::classInfo.name; }

// The largest display side a setting may ask for, in pixels.
constexpr int kMaxModeSide = 16384;
// Texel alignment is a fraction of a texel; anything beyond one texel only blurs or blanks.
constexpr double kMaxTexelAlignment = 1.0;

float settingFloat(MemoryIniFile& s, const char16_t* key, float value) {
    return static_cast<float>(s.getDouble(section(), key, value, -kMaxTexelAlignment, kMaxTexelAlignment));
}
}  // namespace

QorGraphics::QorGraphics(Window& window_) : window(window_) {
    QOR_LOG(kConstructor, u"Starting...");
    virtualWidth = kVirtualScreenWidth;
    virtualHeight = kVirtualScreenHeight;
    readSettings();
    if (hasCommandLineSwitch(u"-safe")) {
        // Saved back at exit, so a broken mode is not tried again.
        videoModeWidth = 800;
        videoModeHeight = 600;
        bFullScreen = 0;
    }
    virtualAspect = static_cast<float>(kVirtualScreenHeight) / static_cast<float>(kVirtualScreenWidth);
    dxD3D = new DisplayAdapter();
    listAdapterModes();
    if (!qor->bDebugLocked) {
        addVideoMode(320, 240);
        addVideoMode(480, 360);
    }
    QOR_LOG(kConstructor, u"Sorted adapter modes:");
    for (BasicLink* m = videoModes.firstChild; m; m = m->next)
        QOR_LOG(kConstructor, u" %s", static_cast<VideoMode*>(m)->toString());
    // Vertex work always runs on the graphics hardware here; the setting only shows.
    QOR_LOG(kConstructor, bUseHardwareTL ? u"Using hardware T&L." : u"Hardware T&L is not available (or disabled).");
    readDesktop();
    createDevice();
    dumpAdapterInfo();
    dumpCaps();
    setGamma();
    restorePresentation(false);
    QOR_LOG(kConstructor, u"Started.");
}

void QorGraphics::readSettings() {
    MemoryIniFile& s = qor->settings();
    // -1 stands for the desktop's size.
    videoModeWidth = s.getInt(section(), u"videoModeWidth", -1, -1, kMaxModeSide);
    videoModeHeight = s.getInt(section(), u"videoModeHeight", -1, -1, kMaxModeSide);
    texelAlignment.x = settingFloat(s, u"texelAlignment.x", 0.5f);
    texelAlignment.y = settingFloat(s, u"texelAlignment.y", -0.5f);
    texelAlignment.z = settingFloat(s, u"texelAlignment.z", 0.0f);
    bFullScreen = s.getBool(section(), u"bFullScreen", true);
    bBilinearFilter = s.getBool(section(), u"bBilinearFilter", true);
    bUseHardwareTL = s.getBool(section(), u"bUseHardwareTL", true);
    bUseVSync = s.getBool(section(), u"bUseVSync", false);
    bEnableFontCache = s.getBool(section(), u"bEnableFontCache", true);
    bSimulate256x256TextureHW = s.getBool(section(), u"bSimulate256x256TextureHW", true);
    bAllowLetterbox = s.getBool(section(), u"bAllowLetterbox", true);
}

void QorGraphics::listAdapterModes() {
    QOR_LOG(kConstructor, u"Supported adapter modes:");
    for (std::uint32_t format : kListedFormats) {
        for (const DisplayMode& m : dxD3D->modes(format)) {
            QOR_LOG(kConstructor, u" %dx%d %s @ %d Hz.", m.width, m.height, formatName(format), m.refreshRate);
            addVideoMode(m.width, m.height);
        }
    }
}

void QorGraphics::readDesktop() {
    if (!dxD3D->desktopMode(desktopMode))
        callFailedAt(kConstructor, __FILE__, __LINE__, ResultCode::kNotAvailable, "dxD3D->desktopMode(desktopMode)");
    QOR_LOG(kConstructor, u"Desktop resolution is %dx%d %s @ %d Hz.", desktopMode.width, desktopMode.height,
            formatName(desktopMode.format), desktopMode.refreshRate);
    if (videoModeWidth < 0) videoModeWidth = desktopMode.width;
    if (videoModeHeight < 0) videoModeHeight = desktopMode.height;
    if (!dxD3D->workArea(workArea)) workArea = WorkArea{0, 0, desktopMode.width, desktopMode.height};
}

void QorGraphics::createDevice() {
    PresentParameters d3dpp;
    fillPresentParameters(d3dpp);
    const std::int32_t result = GraphicsDevice::create(window, d3dpp, &dxDevice);
    if (result < 0) {
        QOR_LOG(kConstructor, u"The drawing device failed: %hs", GraphicsDevice::lastCreateError().c_str());
        callFailedAt(kConstructor, __FILE__, __LINE__, result, "GraphicsDevice::create(window, d3dpp, &dxDevice)");
    }
    QOR_LOG(kConstructor, u"Drawing with OpenGL %hs on %hs.", dxDevice->versionName(), dxDevice->rendererName());
    QOR_LOG(kConstructor, u"Largest texture: %d texels a side.", dxDevice->maxTextureSize());
    // A back buffer beyond the device's limits was not taken: the mode choice, now that
    // it knows them, picks one within.
    if (dxDevice->testCooperativeLevel() != ResultCode::kOk && !tryReset())
        callFailedAt(kConstructor, __FILE__, __LINE__, ResultCode::kDeviceNotReset, "dxDevice->reset(d3dpp)");
    connectServices(true);
}

QorGraphics::~QorGraphics() {
    connectServices(false);
    restoreDesktop();
}

// The services below this one that need the display: input maps the pointer through the
// viewport, and a fatal error saves a screenshot and restores the desktop.
void QorGraphics::connectServices(bool connect) {
    ErrorManager& errors = qor->errors();
    QorInput& input = qor->input();
    if (!connect) {
        errors.saveCrashScreenshot = nullptr;
        errors.restoreDesktop = nullptr;
        input.viewportSource = nullptr;
        return;
    }
    errors.saveCrashScreenshot = [this](const std::u16string& path) { saveScreenshot(nullptr, path); };
    errors.restoreDesktop = [this] { restoreDesktop(); };
    input.viewportSource = [this] { return viewportMapping(); };
}

ClassInfo* QorGraphics::getClass() const { return &classInfo; }

void QorGraphics::onQORmodeChange(int, int) {}

void QorGraphics::saveConfig(MemoryIniFile& s) {
    const std::u16string name = section();
    s.setInt(name, u"videoModeWidth", videoModeWidth);
    s.setInt(name, u"videoModeHeight", videoModeHeight);
    s.setBool(name, u"bFullScreen", bFullScreen);
    s.setBool(name, u"bBilinearFilter", bBilinearFilter);
    s.setBool(name, u"bUseVSync", bUseVSync);
    s.setBool(name, u"bAllowLetterbox", bAllowLetterbox);
    s.setDouble(name, u"texelAlignment.x", texelAlignment.x);
    s.setDouble(name, u"texelAlignment.y", texelAlignment.y);
    s.setDouble(name, u"texelAlignment.z", texelAlignment.z);
}

void QorGraphics::addVideoMode(int width, int height) {
    BasicLink* after = nullptr;
    for (BasicLink* node = videoModes.firstChild; node; node = node->next) {
        const auto* m = static_cast<VideoMode*>(node);
        if (m->width == width && m->height == height) return;
        if (width > m->width || (width == m->width && height > m->height)) after = node;
    }
    auto* mode = new VideoMode(width, height);
    if (after)
        videoModes.insertChildAfter(mode, after);
    else
        videoModes.addChildFirst(mode);
}

bool QorGraphics::findFullScreenFormat(std::uint32_t& format) {
    for (std::uint32_t candidate : kFormatSearch) {
        QOR_LOG(kChoice, u"Checking for video format %s.", formatName(candidate));
        for (const DisplayMode& m : dxD3D->modes(candidate)) {
            if (m.format != candidate) continue;
            QOR_LOG(kChoice, u"Found.");
            format = candidate;
            return true;
        }
    }
    return false;
}

void QorGraphics::chooseWindowSize(int width, int& w, int& h) {
    // The window keeps the virtual screen's shape; the requested height is not used.
    h = static_cast<int>(static_cast<double>(virtualAspect) * width);
    const int availW = workArea.right - workArea.left - kWorkAreaMarginX;
    const int availH = workArea.bottom - workArea.top - kWorkAreaMarginY;
    QOR_LOG(kChoice, u"Limiting resolution to %dx%d, available space (%d,%d)-(%d,%d).", availW, availH, workArea.left,
            workArea.top, workArea.right, workArea.bottom);
    w = width;
    if (width > availW && width > 0) {
        const float f = static_cast<float>(static_cast<double>(availW) / width);
        w = static_cast<int>(static_cast<float>(width) * f);
        h = static_cast<int>(static_cast<float>(h) * f);
    }
    if (h > availH && h > 0) {
        const float f = static_cast<float>(static_cast<double>(availH) / h);
        w = static_cast<int>(static_cast<float>(w) * f);
        h = static_cast<int>(static_cast<float>(h) * f);
    }
    // A window never shrinks to nothing, however small the work area claims to be.
    w = std::max(2, evenDown(w));
    h = std::max(2, evenDown(h));
}

// A back buffer larger than the device draws shrinks, keeping its shape, to the largest
// it takes; in full screen the device scales it up to the display.
void QorGraphics::limitBackBuffer(int& w, int& h) {
    if (!dxDevice) return;
    const int maxW = dxDevice->maxBackBufferWidth(), maxH = dxDevice->maxBackBufferHeight();
    if (w <= maxW && h <= maxH) return;
    const double f = std::min(static_cast<double>(maxW) / w, static_cast<double>(maxH) / h);
    w = std::max(2, evenDown(static_cast<int>(w * f)));
    h = std::max(2, evenDown(static_cast<int>(h * f)));
    QOR_LOG(kChoice, u"Limiting the back buffer to %dx%d, the largest the device draws being %dx%d.", w, h, maxW, maxH);
}

void QorGraphics::chooseViewport(int w, int h) {
    const float ratio = static_cast<float>(h) / static_cast<float>(w);
    QOR_LOG(kChoice, u"Window aspect ratio = %.6lf, fov aspect ratio = %.6lf", static_cast<double>(1.0f / ratio),
            static_cast<double>(1.0f / virtualAspect));
    const bool bCloseEnough = std::fabs(1.0f / ratio - 1.0f / virtualAspect) < 0.2f;
    QOR_LOG(kChoice, u"bCloseEnough=%d", bCloseEnough ? 1 : 0);
    viewportLeft = 0;
    viewportTop = 0;
    viewportRight = w;
    viewportBottom = h;
    if (!bCloseEnough && bAllowLetterbox) {
        if (virtualAspect > ratio) {
            QOR_LOG(kChoice, u"Pillarboxing.");
            const int boxW = evenDown(static_cast<int>(static_cast<double>(h) / virtualAspect));
            viewportLeft = (w - boxW) / 2;
            viewportRight = viewportLeft + boxW;
        } else {
            QOR_LOG(kChoice, u"Letterboxing.");
            const int boxH = evenDown(static_cast<int>(static_cast<double>(virtualAspect) * w));
            viewportTop = (h - boxH) / 2;
            viewportBottom = viewportTop + boxH;
        }
    }
    QOR_LOG(kChoice, u"Viewport %dx%d (%d,%d)-(%d,%d)", viewportRight - viewportLeft, viewportBottom - viewportTop,
            viewportLeft, viewportTop, viewportRight, viewportBottom);
}

void QorGraphics::calcClosestMatchParameters(bool fullScreen, int width, int height) {
    QOR_LOG(kChoice, u"Requested mode %dx%d, %hs %s (%dbpp).", width, height, fullScreen ? "fullscreen" : "windowed",
            formatName(PixelFormat::kX8R8G8B8), 32);
    std::uint32_t format = desktopMode.format;
    if (fullScreen && !findFullScreenFormat(format)) {
        QOR_LOG(kChoice, u"No suitable format found, trying windowed.");
        fullScreen = false;
    }
    int w = 0, h = 0;
    if (fullScreen) {
        int bestW = 0, bestH = 0;
        for (BasicLink* node = videoModes.firstChild; node; node = node->next) {
            const auto* m = static_cast<VideoMode*>(node);
            if (m->width <= width && m->height <= height) bestW = m->width, bestH = m->height;
        }
        if (bestW == 0 && videoModes.firstChild) {
            bestW = static_cast<VideoMode*>(videoModes.firstChild)->width;
            bestH = static_cast<VideoMode*>(videoModes.firstChild)->height;
        }
        QOR_ASSERT(kChoice, bestW != 0 && bestH != 0);
        w = width = bestW;
        h = height = bestH;
    } else {
        format = desktopMode.format;
        QOR_LOG(kChoice, u"Running windowed, forcing desktop video mode %s.", formatName(format));
        chooseWindowSize(width, w, h);
    }
    QOR_LOG(kChoice, u"Best mode found %dx%d (window %dx%d), %hs %s (%dbpp).", width, height, w, h,
            fullScreen ? "fullscreen" : "windowed", formatName(format), D3DFORMAT2bits(format));
    limitBackBuffer(w, h);
    chooseViewport(w, h);
    backBufferFormat = format;
    bFullScreen = fullScreen ? 1 : 0;
    videoModeWidth = width;
    videoModeHeight = height;
    backBufferWidth = w;
    backBufferHeight = h;
    viewportWidth = viewportRight - viewportLeft;
    viewportHeight = viewportBottom - viewportTop;
    viewportAspect = static_cast<float>(viewportHeight) / static_cast<float>(viewportWidth);
}

void QorGraphics::fillPresentParameters(PresentParameters& d3dpp) {
    calcClosestMatchParameters(bFullScreen, videoModeWidth, videoModeHeight);
    d3dpp = PresentParameters{};
    d3dpp.backBufferWidth = backBufferWidth;
    d3dpp.backBufferHeight = backBufferHeight;
    d3dpp.backBufferFormat = backBufferFormat;
    d3dpp.backBufferCount = 1;
    d3dpp.windowed = !bFullScreen;
    if (!bFullScreen)
        d3dpp.presentationInterval = PresentParameters::kIntervalDefault;
    else
        d3dpp.presentationInterval =
            bUseVSync ? PresentParameters::kIntervalOne : PresentParameters::kIntervalImmediate;
    bitsPerPixel = D3DFORMAT2bits(backBufferFormat);
}

ViewportMapping QorGraphics::viewportMapping() const {
    ViewportMapping m;
    m.left = static_cast<float>(viewportLeft);
    m.top = static_cast<float>(viewportTop);
    m.right = static_cast<float>(viewportLeft + viewportWidth);
    m.bottom = static_cast<float>(viewportTop + viewportHeight);
    if (dxDevice) {
        dxDevice->backBufferToWindow(m.left, m.top, m.left, m.top);
        dxDevice->backBufferToWindow(m.right, m.bottom, m.right, m.bottom);
    }
    m.width = static_cast<float>(virtualWidth);
    m.height = static_cast<float>(virtualHeight);
    return m;
}

Vector3 QorGraphics::windowToScreen(float x, float y, float z) const {
    return viewportMapping().toScreen(Vector3{x, y, z});
}

std::u16string QorGraphics::formatName(std::uint32_t format) {
    switch (format) {
#define QOR_FORMAT_NAME(constant, text) \
    case PixelFormat::constant:         \
        return u"" text;
        QOR_FORMAT_NAME(kUnknown, "D3DFMT_UNKNOWN")
        QOR_FORMAT_NAME(kR8G8B8, "D3DFMT_R8G8B8")
        QOR_FORMAT_NAME(kA8R8G8B8, "D3DFMT_A8R8G8B8")
        QOR_FORMAT_NAME(kX8R8G8B8, "D3DFMT_X8R8G8B8")
        QOR_FORMAT_NAME(kR5G6B5, "D3DFMT_R5G6B5")
        QOR_FORMAT_NAME(kX1R5G5B5, "D3DFMT_X1R5G5B5")
        QOR_FORMAT_NAME(kA1R5G5B5, "D3DFMT_A1R5G5B5")
        QOR_FORMAT_NAME(kA4R4G4B4, "D3DFMT_A4R4G4B4")
        QOR_FORMAT_NAME(kR3G3B2, "D3DFMT_R3G3B2")
        QOR_FORMAT_NAME(kA8, "D3DFMT_A8")
        QOR_FORMAT_NAME(kA8R3G3B2, "D3DFMT_A8R3G3B2")
        QOR_FORMAT_NAME(kX4R4G4B4, "D3DFMT_X4R4G4B4")
        QOR_FORMAT_NAME(kA2B10G10R10, "D3DFMT_A2B10G10R10")
        QOR_FORMAT_NAME(kG16R16, "D3DFMT_G16R16")
        QOR_FORMAT_NAME(kA8P8, "D3DFMT_A8P8")
        QOR_FORMAT_NAME(kP8, "D3DFMT_P8")
        QOR_FORMAT_NAME(kL8, "D3DFMT_L8")
        QOR_FORMAT_NAME(kA8L8, "D3DFMT_A8L8")
        QOR_FORMAT_NAME(kA4L4, "D3DFMT_A4L4")
        QOR_FORMAT_NAME(kV8U8, "D3DFMT_V8U8")
        QOR_FORMAT_NAME(kL6V5U5, "D3DFMT_L6V5U5")
        QOR_FORMAT_NAME(kX8L8V8U8, "D3DFMT_X8L8V8U8")
        QOR_FORMAT_NAME(kQ8W8V8U8, "D3DFMT_Q8W8V8U8")
        QOR_FORMAT_NAME(kV16U16, "D3DFMT_V16U16")
        QOR_FORMAT_NAME(kA2W10V10U10, "D3DFMT_A2W10V10U10")
        QOR_FORMAT_NAME(kUYVY, "D3DFMT_UYVY")
        QOR_FORMAT_NAME(kYUY2, "D3DFMT_YUY2")
        QOR_FORMAT_NAME(kDXT1, "D3DFMT_DXT1")
        QOR_FORMAT_NAME(kDXT2, "D3DFMT_DXT2")
        QOR_FORMAT_NAME(kDXT3, "D3DFMT_DXT3")
        QOR_FORMAT_NAME(kDXT4, "D3DFMT_DXT4")
        QOR_FORMAT_NAME(kDXT5, "D3DFMT_DXT5")
        QOR_FORMAT_NAME(kD16Lockable, "D3DFMT_D16_LOCKABLE")
        QOR_FORMAT_NAME(kD32, "D3DFMT_D32")
        QOR_FORMAT_NAME(kD15S1, "D3DFMT_D15S1")
        QOR_FORMAT_NAME(kD24S8, "D3DFMT_D24S8")
        QOR_FORMAT_NAME(kD16, "D3DFMT_D16")
        QOR_FORMAT_NAME(kD24X8, "D3DFMT_D24X8")
        QOR_FORMAT_NAME(kD24X4S4, "D3DFMT_D24X4S4")
        QOR_FORMAT_NAME(kVertexData, "D3DFMT_VERTEXDATA")
        QOR_FORMAT_NAME(kIndex16, "D3DFMT_INDEX16")
        QOR_FORMAT_NAME(kIndex32, "D3DFMT_INDEX32")
#undef QOR_FORMAT_NAME
        default:
            return formatString(u"unknown(%d)", static_cast<int>(format));
    }
}

int QorGraphics::D3DFORMAT2bits(std::uint32_t format) {
    switch (format) {
        case PixelFormat::kA8R8G8B8:
        case PixelFormat::kX8R8G8B8:
        case PixelFormat::kA2B10G10R10:
            return 32;
        case PixelFormat::kR5G6B5:
        case PixelFormat::kX1R5G5B5:
        case PixelFormat::kA1R5G5B5:
        case PixelFormat::kA4R4G4B4:
        case PixelFormat::kA8R3G3B2:
        case PixelFormat::kX4R4G4B4:
            return 16;
        default:
            QOR_LOG("QorGraphics::D3DFORMAT2bits", u"Unhandled pixel format: %s", formatName(format));
            return 0;
    }
}

void QorGraphics::setGlobalRenderState() {
    GraphicsDevice& d = *dxDevice;
    d.setBlendEnabled(true);
    d.setAlphaTest(true, 0);
    if (bSilhouettePass) {
        // The screenshot's alpha pass: every pixel white, with the texture's coverage.
        d.setColorOp(TextureOp::kSelectFactor);
        d.setTextureFactor(0xFFFFFFFFu);
    } else {
        d.setColorOp(TextureOp::kModulate);
    }
    d.setAlphaOp(TextureOp::kModulate);
    d.setLinearFilter(bBilinearFilter);
    int passes = 0;
    const std::int32_t result = d.validateDevice(passes);
    QOR_LOG("QorGraphics::setGlobalRenderState", u"Device validation: %hs (%s, %d passes required).",
            result >= 0 ? "PASSED" : "FAILED", hresultToString(result), passes);
}

void QorGraphics::clear() {
    dxDevice->setViewport(DeviceViewport{0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f});
    dxDevice->clear(qor->bDebugLocked ? kClearColour : kDebugClearColour);
    dxDevice->setViewport(DeviceViewport{viewportLeft, viewportTop, viewportRight - viewportLeft,
                                         viewportBottom - viewportTop, 0.0f, 1.0f});
}

void QorGraphics::flip() {
    const std::int32_t result = dxDevice->present();
    if (result != ResultCode::kOk)
        QOR_LOG("QorGraphics::flip", u"Present failed with code %s.", hresultToString(result));
}

bool QorGraphics::tryReset() {
    PresentParameters d3dpp;
    fillPresentParameters(d3dpp);
    const std::int32_t result = dxDevice->reset(d3dpp);
    QOR_LOG(kRestore, u"dxDevice->Reset() returned %s.", hresultToString(result));
    return result >= 0;
}

bool QorGraphics::resetWithFallback() {
    if (tryReset()) return true;
    // A presentation that cannot be had must not keep the game frozen: try the desktop's
    // own size, then a window, before giving up for this frame.
    QOR_LOG(kRestore, u"Falling back to the desktop mode %dx%d.", desktopMode.width, desktopMode.height);
    videoModeWidth = desktopMode.width;
    videoModeHeight = desktopMode.height;
    if (tryReset()) return true;
    if (!bFullScreen) return false;
    QOR_LOG(kRestore, u"Falling back to a window.");
    bFullScreen = 0;
    return tryReset();
}

void QorGraphics::updatePixelScale() {
    const float r = static_cast<float>(viewportWidth) / static_cast<float>(virtualWidth);
    const float sx = static_cast<float>(virtualWidth) / static_cast<float>(viewportWidth);
    const float sy = static_cast<float>(virtualHeight) / static_cast<float>(viewportHeight);
    if (r < 0.85f)
        pixelScale = Vector3{sx * 0.5f, sy * 0.5f, 0.5f};
    else if (r >= 1.5f)
        pixelScale = Vector3{1.0f, 1.0f, 1.0f};
    else
        pixelScale = Vector3{sx, sy, 1.0f};
}

void QorGraphics::notifyObjects() {
    QOR_LOG(kRestore, u"Notifying %d objects.", qor->objectList.countChildren());
    qor->forEachObject([](QorBase* o) { o->onPresentationRestored(); });
}

bool QorGraphics::restorePresentation(bool reset) {
    if (reset && !resetWithFallback()) return false;
    updatePixelScale();
    setGlobalRenderState();
    adjustWindow();
    if (reset) notifyObjects();
    return true;
}

void QorGraphics::changePresentationParameters(int width, int height, bool fullScreen, bool allowLetterbox,
                                               bool bilinearFilter, bool useVSync) {
    if (width < 0) width = videoModeWidth;
    if (height < 0) height = videoModeHeight;
    const bool changed = bAllowLetterbox != allowLetterbox || bUseVSync != useVSync || bFullScreen != fullScreen ||
                         videoModeWidth != width || videoModeHeight != height;
    videoModeWidth = width;
    videoModeHeight = height;
    bFullScreen = fullScreen;
    bAllowLetterbox = allowLetterbox;
    bBilinearFilter = bilinearFilter;
    bUseVSync = useVSync;
    if (changed) {
        QOR_LOG("QorGraphics::changePresentationParameters", u"Restarting to apply configuration.");
        qor->resetRequest = true;
    } else {
        setGlobalRenderState();
    }
}

// Full screen: the device's reset asked for the window to cover the desktop. Either way
// the window is then checked where it really is: without a window manager nobody carries
// a full-screen request out, and the game would go on drawing into the small window it
// started with.
void QorGraphics::adjustWindow() {
    int x = 0, y = 0, w = desktopMode.width, h = desktopMode.height;
    if (!bFullScreen) {
        const int areaW = workArea.right - workArea.left;
        const int areaH = workArea.bottom - workArea.top;
        x = workArea.left + (areaW - backBufferWidth) / 2;
        y = workArea.top + (areaH - backBufferHeight) / 2;
        w = backBufferWidth;
        h = backBufferHeight;
        window.placeClientArea(x, y, w, h);
    }
    int rx = 0, ry = 0, rw = 0, rh = 0;
    window.realGeometry(rx, ry, rw, rh);
    if (window.settleGeometry(x, y, w, h, bFullScreen != 0))
        QOR_LOG("QorGraphics::adjustWindow", u"The window stayed %dx%d at (%d,%d); placed it at (%d,%d), %dx%d.", rw,
                rh, rx, ry, x, y, w, h);
    window.resyncPointer();
}

void QorGraphics::setGamma() {
    if (!bFullScreen) return;
    std::uint16_t ramp[256];
    for (int i = 0; i < 256; ++i) ramp[i] = static_cast<std::uint16_t>(i * 256);
    if (!dxDevice->setGammaRamp(ramp, ramp, ramp))
        QOR_LOG("QorGraphics::setGamma", u"The display takes no gamma ramp (%hs); left as it is.",
                dxDevice->lastError());
}

MemoryImageFile* QorGraphics::captureBackBuffer() {
    auto* image = new MemoryImageFile(backBufferWidth, backBufferHeight);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (!dxDevice || !dxDevice->readBackBuffer(pixels, w, h)) return image;
    // Sizes agree unless a reset is pending; copy what both hold.
    const int rows = std::min(h, image->height), columns = std::min(w, image->width);
    for (int y = 0; y < rows; ++y)
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * w, columns, &image->at(0, y));
    return image;
}

// Draws `scene` again with every textured pixel white at its texture's coverage, over
// black: the mask's red is the picture's alpha. Colours drawn over black are divided by
// their coverage, so that the file holds each pixel's own colour with its alpha. Then
// the frame is drawn again as it was, so the screen shows no silhouette.
void QorGraphics::silhouettePass(Context* scene, MemoryImageFile& image) {
    bSilhouettePass = 1;
    setGlobalRenderState();
    const DeviceViewport kept = dxDevice->getViewport();
    dxDevice->setViewport(DeviceViewport{0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f});
    dxDevice->clear(0xFF000000u);
    dxDevice->setViewport(kept);
    dxDevice->beginScene();
    if (scene) scene->frameRender();
    dxDevice->endScene();
    bSilhouettePass = 0;
    setGlobalRenderState();
    const std::unique_ptr<MemoryImageFile> mask(captureBackBuffer());
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i) {
        UColor& p = image.pImageData[i];
        const UColor a = (mask->pImageData[i] >> 16) & 0xFF;
        if (a >= 1 && a <= 254) {
            const float f = 1.0f / (static_cast<float>(a) / 255.0f);
            UColor rgb = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const float c = static_cast<float>((p >> shift) & 0xFF) * f;
                rgb |= static_cast<UColor>(std::min(255, static_cast<int>(c))) << shift;
            }
            p = rgb;
        } else {
            p &= 0x00FFFFFFu;
        }
        p |= a << 24;
    }
    clear();
    if (scene) scene->frameRender();
}

bool QorGraphics::saveScreenshot(Context* scene, const std::u16string& path) {
    if (!dxD3D || !dxDevice) return false;
    const std::unique_ptr<MemoryImageFile> image(captureBackBuffer());
    if (path.find(u".tga") != std::u16string::npos) {
        silhouettePass(scene, *image);
        image->saveTGA(path);
    } else if (path.find(u".bmp") != std::u16string::npos) {
        image->saveBMP(path);
    } else if (path.find(u".jpg") != std::u16string::npos) {
        image->saveJPG(60, path);
    } else {
        return false;
    }
    return true;
}

void QorGraphics::dumpAdapterInfo() {
    for (const std::u16string& line : CapsReport::adapterLines(DeviceCaps::read(*dxDevice)))
        QOR_LOG("QorGraphics::dumpAdapterInfo", u"%s", line);
}

void QorGraphics::dumpCaps() {
    if (!qor->pLogger) return;
    for (const std::u16string& line : CapsReport::capsLines(DeviceCaps::read(*dxDevice)))
        qor->logger().log(u"%s", line);
}

void QorGraphics::restoreDesktop() {
    if (bFullScreen && dxDevice) {
        bFullScreen = 0;
        restorePresentation(true);
    }
    delete dxDevice;
    dxDevice = nullptr;
    delete dxD3D;
    dxD3D = nullptr;
}
