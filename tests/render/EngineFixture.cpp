#include "EngineFixture.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "inputaudio/QorInput.h"
#include "platform/GraphicsDevice.h"
#include "render/Context.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/Texture.h"
#include "support/TestVideo.h"
#include "support/XServer.h"

// Allocations that the system's display and OpenGL libraries keep until exit.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:swrast_dri.so\nleak:libgallium\nleak:libLLVM\nleak:libGLX_mesa.so\nleak:libX11."
           "so\n";
}

bool displayTestsEnabled() { return std::getenv("TORVANE_DISPLAY_TESTS") != nullptr; }

namespace {
constexpr int kScreenWidth = 1280, kScreenHeight = 1024;  // of the engine tests' X server

// The X server of this process's engine tests, so that the mouse is theirs alone and its
// cursor stays where they put it. It lasts until the process ends, as SDL's video does.
const PrivateXServer& ownXServer() {
    static const PrivateXServer server(kScreenWidth, kScreenHeight);
    return server;
}
}  // namespace

std::string EngineFixture::settingsText() const {
    return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=320\nvideoModeHeight=192\nbBilinearFilter=No\n";
}

void EngineFixture::SetUp() {
    if (!displayTestsEnabled()) GTEST_SKIP() << "display tests are off (set TORVANE_DISPLAY_TESTS)";
    char pattern[] = "/tmp/torvane-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dataHome = pattern;
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    {
        const std::string folder = wideToUtf8(getDataFolder());
        std::ofstream(folder + wideToUtf8(kBuildName) + ".cfg") << settingsText();
    }
    const PrivateXServer& server = ownXServer();
    if (server.display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run the engine tests' X server");
    setenv("DISPLAY", server.display.c_str(), 1);
    ASSERT_TRUE(TestVideo::start("x11"));
    // The engine starts as the program does on a machine with a mouse, the cursor off its
    // window (in the screen's far corner, which no windowed test reaches): in mouse mode,
    // the pointer in the middle.
    SDL_WarpMouseGlobal(kScreenWidth - 1, kScreenHeight - 1);
    ASSERT_TRUE(window.create("Torvane 2 tests", 50, 50, 100, 100));
    GraphicsDevice::keepPresentedFrames = true;  // the tests read frames after they are shown
    new Qor(nullptr, &window);
    started = true;
}

void EngineFixture::useTouchScreen() {
    QorInput& input = qor->input();
    input.setInputMode(QorInput::kModeTouch);
    input.setMousePos(input.viewport().width / 2.0f, input.viewport().height / 2.0f, 0.0f);
}

void EngineFixture::TearDown() {
    if (started) {
        delete qor;
        window.destroy();
        // SDL's video stays up for the next engine test: shutting it down unloads the
        // system's OpenGL driver, whose own leftovers the leak checker then cannot name.
    }
    if (!dataHome.empty()) std::filesystem::remove_all(dataHome);
}

void EngineFixture::runFrame(Context* scene) { qor->frame(scene); }

std::vector<std::uint32_t> EngineFixture::backBuffer(int& width, int& height) const {
    std::vector<std::uint32_t> pixels;
    width = height = 0;
    qor->pQorGraphics->dxDevice->readBackBuffer(pixels, width, height);
    return pixels;
}

std::uint32_t EngineFixture::pixelAt(int x, int y) const {
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return pixels[static_cast<std::size_t>(y) * w + x];
}

Renderable* EngineFixture::addQuad(Context* parent, float w, float h, UColor color, float x, float y, float roll,
                                   Texture* texture) {
    auto* quad = new Quad();
    quad->pTexture = texture;
    quad->setSize(w, h);
    auto* r = new Renderable();
    r->pSkin = quad;
    r->bOwnsSkin = 1;
    r->color = color;
    r->position = Vector3{x, y, 0.0f};
    r->rotation = Vector3{0.0f, 0.0f, roll};
    r->updateXform();
    parent->addChild(r);
    return r;
}

Texture* EngineFixture::makeTexture(QorBase* owner, int w, int h, const std::vector<std::uint32_t>& pixels,
                                    bool hasAlpha) {
    // Exactly w x h texels, so that a quad's whole UV rectangle is the picture: without
    // the simulated 256-texel hardware the device texture is the size asked for.
    QorGraphics& g = *qor->pQorGraphics;
    const std::uint8_t simulate = g.bSimulate256x256TextureHW;
    g.bSimulate256x256TextureHW = 0;
    auto* texture = new Texture(w, h, Texture::kKeepCopy);
    g.bSimulate256x256TextureHW = simulate;
    // The kept copy brings the pixels back after a device loss.
    MemoryImageFile* copy = texture->getSavedSourceData();
    std::copy(pixels.begin(), pixels.end(), copy->pImageData.get());
    texture->copyImageData(copy, nullptr, nullptr);
    texture->bHasAlpha = hasAlpha ? 1 : 0;
    owner->addChild(texture);
    return texture;
}
