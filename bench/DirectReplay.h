#pragma once
// The yardstick of the drawing benchmarks: one frame's triangles as the engine sent them
// to OpenGL (GraphicsDevice::sentBatches), replayed straight to OpenGL from a second
// context that shares the engine's textures: the kept pictures the engine copied in,
// copied alike, then all vertices in one buffer, one draw call per texture and primitive
// kind, a minimal shader, into the window's back buffer as the engine draws its frame.
// Drawing is measured headless on both sides: neither frame is presented, since the
// window's cost is the program benchmarks' to measure.
//
// Usage: open the second context (openReplayContext), record a frame's batches
// (recordBatches), then race the engine against the replay (raceReplay); or by hand: in
// the second context (current) setUp() once and frame() as often as wanted. Owns its
// OpenGL objects for the program's life.
#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "BenchEngine.h"
#include "ChildProcess.h"
#include "engine/Qor.h"
#include "game/GameController.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"

namespace bench {
class DirectReplay {
public:
    // Gathers `sent` by texture and primitive kind; replaces what was gathered before.
    void record(const std::vector<GraphicsDevice::SentBatch>& sent) {
        std::map<std::pair<unsigned, unsigned>, std::vector<ClipVertex>> byTexture;
        copies.clear();
        for (const auto& b : sent) {
            if (b.copiedTo.width > 0) {
                copies.push_back(b);
                continue;
            }
            auto& v = byTexture[{b.texture, b.mode}];
            v.insert(v.end(), b.vertices.begin(), b.vertices.end());
        }
        engineCalls = static_cast<int>(sent.size() - copies.size());
        vertices.clear();
        groups.clear();
        for (const auto& [key, list] : byTexture) {
            groups.push_back(
                {key.first, key.second, static_cast<GLint>(vertices.size()), static_cast<GLsizei>(list.size())});
            vertices.insert(vertices.end(), list.begin(), list.end());
        }
    }

    // In the replaying context: its program, vertex layout, a white texture for the
    // untextured draws, a filtering sampler and the frame buffer that holds a kept picture
    // while it is copied.
    void setUp() {
        program = glCreateProgram();
        glAttachShader(program, compileShader(GL_VERTEX_SHADER, kVertexSource));
        glAttachShader(program, compileShader(GL_FRAGMENT_SHADER, kFragmentSource));
        glLinkProgram(program);
        glUseProgram(program);
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        constexpr GLsizei stride = sizeof(ClipVertex);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(ClipVertex, x)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<const void*>(offsetof(ClipVertex, factor)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(ClipVertex, u)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<const void*>(offsetof(ClipVertex, weights)));
        const std::uint32_t opaqueWhite = 0xFFFFFFFFu;
        glGenTextures(1, &white);
        glBindTexture(GL_TEXTURE_2D, white);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &opaqueWhite);
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindSampler(0, sampler);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glGenFramebuffers(1, &copySource);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, copySource);
    }

    // One replayed frame, waited for, as the engine's frame is. A copy over the whole image
    // makes the clear unnecessary, as it does in the engine.
    void frame() {
        glViewport(0, 0, kWindowWidth, kWindowHeight);
        const bool covered = std::any_of(copies.begin(), copies.end(), [](const GraphicsDevice::SentBatch& c) {
            const DeviceViewport& r = c.copiedTo;
            return r.x == 0 && r.y == 0 && r.width == kWindowWidth && r.height == kWindowHeight;
        });
        if (!covered) {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        for (const GraphicsDevice::SentBatch& c : copies) {
            const DeviceViewport& r = c.copiedTo;
            glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, c.texture, 0);
            const int t0 = c.rowsFromTop ? r.height : 0, t1 = c.rowsFromTop ? 0 : r.height;
            glBlitFramebuffer(0, t0, r.width, t1, r.x, r.y, r.x + r.width, r.y + r.height, GL_COLOR_BUFFER_BIT,
                              GL_NEAREST);
        }
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(ClipVertex)), vertices.data(),
                     GL_STREAM_DRAW);
        for (const Group& g : groups) {
            glBindTexture(GL_TEXTURE_2D, g.texture ? g.texture : white);
            glDrawArrays(g.mode, g.first, g.count);
        }
        glFinish();
    }

    std::size_t vertexCount() const { return vertices.size(); }
    std::size_t drawCalls() const { return groups.size(); }
    int engineCalls = 0;  // batches the engine sent for the recorded frame

private:
    struct Group {
        unsigned texture, mode;
        GLint first;
        GLsizei count;
    };
    static constexpr const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 tint;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in vec4 weights;
out vec2 uv;
out vec4 factor;
out vec4 textureWeight;
void main() { gl_Position = vec4(position.xy, 2.0 * position.z - position.w, position.w); uv = texCoord;
              factor = tint; textureWeight = weights; }
)";
    static constexpr const char* kFragmentSource = R"(#version 330 core
in vec2 uv;
in vec4 factor;
in vec4 textureWeight;
uniform sampler2D image;
out vec4 colour;
void main() { colour = (texture(image, uv) * textureWeight + (vec4(1.0) - textureWeight)) * factor; }
)";

    std::vector<ClipVertex> vertices;
    std::vector<Group> groups;
    std::vector<GraphicsDevice::SentBatch> copies;
    GLuint program = 0, vertexArray = 0, buffer = 0, white = 0, sampler = 0, copySource = 0;
};

// Seconds per call of `frame`, over a batch of `n` calls.
template <class F>
double timePerFrame(int n, F frame) {
    const double start = nowSeconds();
    for (int i = 0; i < n; ++i) frame();
    return (nowSeconds() - start) / n;
}

// With the engine's context current: the swap interval off, and a second context that
// shares the engine's textures, its swap interval off as well. The engine's context is
// current again after. Null when the second context could not be made.
inline SDL_GLContext openReplayContext(SDL_Window* window) {
    SDL_GL_SetSwapInterval(0);
    SDL_GLContext engineContext = SDL_GL_GetCurrentContext();
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GLContext directContext = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, engineContext);
    if (directContext) {
        SDL_GL_SetSwapInterval(0);
        SDL_GL_MakeCurrent(window, engineContext);
    }
    return directContext;
}

// Draws `game`'s frame as it stands through the engine (scene, device, back buffer), and
// waits until it is really drawn. Headless: the frame is not presented.
inline void drawEngineFrame(GameController& game) {
    QorGraphics& g = qor->graphics();
    g.dxDevice->beginScene();
    g.clear();
    game.frameRender();
    g.dxDevice->endScene();
    glFinish();
}

// The batches the engine sends to OpenGL while `frame` runs.
template <class F>
std::vector<GraphicsDevice::SentBatch> recordBatches(F frame) {
    std::vector<GraphicsDevice::SentBatch> sent;
    qor->graphics().dxDevice->sentBatches = &sent;
    frame();
    qor->graphics().dxDevice->sentBatches = nullptr;
    return sent;
}

// Medians over the rounds: s per frame each way, and the engine's time over the replay's.
struct RaceMedians {
    double engine = 0.0, direct = 0.0, ratio = 0.0;
};

// The engine's frame (`engineFrame`, in `engineContext`) against the recorded replay (in
// `directContext`), taking turns in batches of eight for `rounds` rounds, so that a busy
// machine slows both alike. The first frame after each switch is not measured. The
// engine's context is current again after.
template <class F>
RaceMedians raceReplay(DirectReplay& direct, SDL_Window* window, SDL_GLContext engineContext,
                       SDL_GLContext directContext, int rounds, F engineFrame) {
    SDL_GL_MakeCurrent(window, directContext);
    direct.setUp();
    std::vector<double> engineTimes, directTimes, ratios;
    constexpr int kBatch = 8;
    for (int round = 0; round < rounds; ++round) {
        SDL_GL_MakeCurrent(window, engineContext);
        engineFrame();
        const double e = timePerFrame(kBatch, engineFrame);
        SDL_GL_MakeCurrent(window, directContext);
        direct.frame();
        const double d = timePerFrame(kBatch, [&] { direct.frame(); });
        engineTimes.push_back(e);
        directTimes.push_back(d);
        ratios.push_back(e / d);
    }
    SDL_GL_MakeCurrent(window, engineContext);
    return {median(engineTimes), median(directTimes), median(ratios)};
}
}  // namespace bench
