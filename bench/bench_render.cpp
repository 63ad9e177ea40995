// Draws 2,000 textured, tinted, rotated quads per frame through the engine (context,
// renderables, quads, vertex buffers, the drawing device with its off-screen back
// buffer) and the same quads through a minimal direct OpenGL loop in the same window,
// then prints frames per second of both and the ratio of their frame times.
//
// The two loops take turns in short batches of frames, each in its own OpenGL context, so
// that a busy machine slows both alike. Runs on the current display, or on SDL's offscreen
// driver when there is none.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BenchEngine.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"
#include "render/Context.h"
#include "render/Matrix.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/Texture.h"

namespace {
constexpr int kQuads = 2000;
constexpr int kTextureSize = 64;

struct Placement {
    float x, y, size, roll;  // virtual units and radians
    UColor color;
};

std::vector<Placement> placements;
Context* scene = nullptr;
SDL_Window* benchWindow = nullptr;
SDL_GLContext engineContext = nullptr;
SDL_GLContext directContext = nullptr;
double engineFrameSeconds = 0.0;
double directFrameSeconds = 0.0;
double frameRatio = 0.0;

float randomIn(float low, float high) { return low + (high - low) * static_cast<float>(Random::next()) / 65535.0f; }

void makePlacements() {
    Random::seed(12345);
    for (int i = 0; i < kQuads; ++i)
        placements.push_back(Placement{randomIn(-380, 380), randomIn(-220, 220), randomIn(16, 48), randomIn(0, 6.28f),
                                       0xFF000000u | (Random::next() << 8) | (Random::next() & 0xFF)});
}

// A disc with a colour ramp, transparent around it.
std::vector<std::uint32_t> texturePixels() {
    std::vector<std::uint32_t> px(kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y)
        for (int x = 0; x < kTextureSize; ++x) {
            const int dx = x - kTextureSize / 2, dy = y - kTextureSize / 2;
            const bool inside = dx * dx + dy * dy < (kTextureSize / 2) * (kTextureSize / 2);
            px[y * kTextureSize + x] = inside ? 0xFF000000u | static_cast<std::uint32_t>(x * 4) << 16 | y * 4 : 0u;
        }
    return px;
}

void buildScene() {
    scene = new Context();
    auto* texture = new Texture(kTextureSize, kTextureSize, 0);
    MemoryImageFile picture(kTextureSize, kTextureSize);
    const std::vector<std::uint32_t> pixels = texturePixels();
    std::copy(pixels.begin(), pixels.end(), picture.pImageData.get());
    texture->copyImageData(&picture, nullptr, nullptr);
    scene->addChild(texture);
    const auto* picturedSkin = static_cast<const Quad*>(texture->skins[0]);
    for (const Placement& p : placements) {
        auto* quad = new Quad();
        quad->pTexture = texture;
        quad->uvRect = picturedSkin->uvRect;
        quad->setSize(p.size, p.size);
        auto* r = new Renderable();
        r->pSkin = quad;
        r->bOwnsSkin = 1;
        r->color = p.color;
        r->position = Vector3{p.x, p.y, 0.0f};
        r->rotation = Vector3{0.0f, 0.0f, p.roll};
        r->updateXform();
        scene->addChild(r);
    }
    scene->frameTick(0.0, 0.0);
}

// Both loops wait until the frame is really drawn, so that queued work is not mistaken
// for speed.
void engineFrame() {
    QorGraphics& g = qor->graphics();
    g.dxDevice->beginScene();
    g.clear();
    scene->frameRender();
    g.dxDevice->endScene();
    g.flip();
    glFinish();
}

// The direct loop: one program, one shared quad, one texture, and per quad a matrix and
// a colour; the view and projection of the engine's default camera.
const char* const kDirectVertex = R"(#version 330 core
layout(location = 0) in vec2 corner;
uniform mat4 transform;
out vec2 uv;
void main() { gl_Position = transform * vec4(corner, 0.0, 1.0); uv = vec2(corner.x + 0.5, 0.5 - corner.y); }
)";
const char* const kDirectFragment = R"(#version 330 core
in vec2 uv;
uniform sampler2D image;
uniform vec4 tint;
out vec4 colour;
void main() { colour = texture(image, uv) * tint; if (colour.a <= 0.0) discard; }
)";

struct DirectLoop {
    GLint transformAt = -1, tintAt = -1;
    std::vector<Matrix> worlds;
    Matrix viewProjection;
    int width = 0, height = 0;
} direct;

GLuint compile(GLenum kind, const char* source) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

// Builds the direct loop's objects in the current context (its own).
void setUpDirectLoop() {
    GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, kDirectVertex));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, kDirectFragment));
    glLinkProgram(program);
    glUseProgram(program);
    direct.transformAt = glGetUniformLocation(program, "transform");
    direct.tintAt = glGetUniformLocation(program, "tint");
    const float corners[8] = {-0.5f, 0.5f, 0.5f, 0.5f, -0.5f, -0.5f, 0.5f, -0.5f};
    GLuint vao = 0, vbo = 0, texture = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    const std::vector<std::uint32_t> px = texturePixels();
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    direct.viewProjection = Matrix::multiply(Matrix::lookAtLH({0, 0, -400}, {0, 0, 0}, {0, 1, 0}),
                                             Matrix::perspectiveLH(2.0f, 1.2f, 1.0f, 1048576.0f));
    for (const Placement& p : placements)
        direct.worlds.push_back(Matrix::multiply(
            Matrix::multiply(Matrix::scaling(p.size, p.size, 1), Matrix::rotationYawPitchRoll(0, 0, p.roll)),
            Matrix::translation(p.x, p.y, 0)));
    SDL_GL_GetDrawableSize(benchWindow, &direct.width, &direct.height);
}

void directFrame() {
    glViewport(0, 0, direct.width, direct.height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const Matrix m = Matrix::multiply(direct.worlds[i], direct.viewProjection);
        glUniformMatrix4fv(direct.transformAt, 1, GL_FALSE, m.data());
        const UColor c = placements[i].color;
        glUniform4f(direct.tintAt, static_cast<float>((c >> 16) & 255) / 255.0f,
                    static_cast<float>((c >> 8) & 255) / 255.0f, static_cast<float>(c & 255) / 255.0f, 1.0f);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    SDL_GL_SwapWindow(benchWindow);
    glFinish();
}

// Each iteration draws a batch of engine frames and then a batch of direct frames. The
// medians of the frame times and of the batch-by-batch ratio are reported: a burst of
// load from elsewhere slows neighbouring batches alike and leaves the median alone.
// Batches, not single frames, because switching contexts costs some drivers a good part
// of a frame.
constexpr int kBatch = 8;

void BM_EngineThenDirect(benchmark::State& state) {
    std::vector<double> engineTimes, directTimes, ratios;
    for (auto _ : state) {
        SDL_GL_MakeCurrent(benchWindow, engineContext);
        engineFrame();  // the first frame after the switch is not measured
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) engineFrame();
        const double engineTime = secondsSince(start) / kBatch;
        SDL_GL_MakeCurrent(benchWindow, directContext);
        directFrame();
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) directFrame();
        const double directTime = secondsSince(start) / kBatch;
        engineTimes.push_back(engineTime);
        directTimes.push_back(directTime);
        ratios.push_back(engineTime / directTime);
    }
    SDL_GL_MakeCurrent(benchWindow, engineContext);
    engineFrameSeconds = median(engineTimes);
    directFrameSeconds = median(directTimes);
    frameRatio = median(ratios);
    state.counters["engine_fps"] = 1.0 / engineFrameSeconds;
    state.counters["direct_fps"] = 1.0 / directFrameSeconds;
    state.counters["ratio"] = frameRatio;
}

// The engine, with its window and context kept for switching to the direct drawing.
std::string startEngine(Window& window) {
    std::string dataHome = startBenchEngine(window);
    benchWindow = window.handle();
    engineContext = SDL_GL_GetCurrentContext();
    return dataHome;
}
}  // namespace

BENCHMARK(BM_EngineThenDirect)->Unit(benchmark::kMillisecond)->MinTime(4.0)->UseRealTime();

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    Window window;
    const std::string dataHome = startEngine(window);
    if (dataHome.empty()) {
        std::fprintf(stderr, "bench_render: no display for OpenGL (%s)\n", SDL_GetError());
        return 0;
    }
    makePlacements();
    buildScene();
    directContext = SDL_GL_CreateContext(benchWindow);
    if (directContext) {
        SDL_GL_SetSwapInterval(0);
        setUpDirectLoop();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        std::printf("%d textured quads per frame on %s\n", kQuads, qor->graphics().dxDevice->rendererName());
        std::printf(
            "engine: %.1f fps, direct OpenGL: %.1f fps, engine frame time / direct: %.2f (median of batch pairs)\n",
            1.0 / engineFrameSeconds, 1.0 / directFrameSeconds, frameRatio);
        SDL_GL_MakeCurrent(benchWindow, engineContext);
        SDL_GL_DeleteContext(directContext);
    } else {
        std::fprintf(stderr, "bench_render: no second OpenGL context (%s)\n", SDL_GetError());
    }
    scene->destroy();
    delete qor;
    window.destroy();
    Window::shutdownVideo();
    std::filesystem::remove_all(dataHome);
    return 0;
}
