#include "platform/GraphicsDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "platform/ClipVertex.h"
#include "platform/DeviceTexture.h"
#include "platform/DeviceVertexBuffer.h"
#include "platform/GlCheck.h"
#include "platform/ResultCode.h"
#include "platform/Window.h"
#include "platform/X11Geometry.h"

namespace {
// Texture stage 0 as programs (see the variants below). Vertices arrive in clip space
// (placed when their draw was gathered), with their draw's tint and stage weights. Clip
// depth 0..w becomes OpenGL's -w..w, and every vertex moves half a pixel right and down
// so that pixel centres lie on whole coordinates as the drawing code expects.
const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 tint;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in vec4 weights;
uniform vec2 pixelOffset;
out vec2 uv;
flat out vec4 factor;
flat out vec4 textureWeight;
void main() {
    vec4 p = position;
    p.z = 2.0 * p.z - p.w;
    p.xy += pixelOffset * p.w;
    gl_Position = p;
    uv = texCoord;
    factor = tint;
    textureWeight = weights;
}
)";

// The stage's operations arrive folded into two vectors, so the per-pixel work is one
// multiply-add and one multiply: texel x weight + (1 - weight) reads the texture (weight
// 1) or white (weight 0), and `factor` is the texture factor where the operation uses it
// and white where it does not.
//
// The program comes in variants, each compiled with only the work its states need: a
// software renderer pays for every instruction on every pixel. TEXTURE_ONLY: both
// operations select the texture, so the factor and the weights drop out (the general
// form gives the same texel times one). ALPHA_TEST: the test can drop a pixel that would
// otherwise change the picture.
const char* const kFragmentShader = R"(
in vec2 uv;
flat in vec4 factor;
flat in vec4 textureWeight;
uniform sampler2D stage0;
uniform float alphaRef;
out vec4 fragColor;
void main() {
#if TEXTURE_ONLY
    vec4 c = texture(stage0, uv);
#else
    vec4 c = (texture(stage0, uv) * textureWeight + (vec4(1.0) - textureWeight)) * factor;
#endif
#if ALPHA_TEST
    // Alpha is compared in whole steps of 1/255, as an 8-bit pipeline would; a reference
    // below 0 turns the test off.
    if (c.a * 255.0 < alphaRef + 0.5) discard;
#endif
    fragColor = c;
}
)";

// Presentation draws the back buffer into the window as one triangle that covers the
// target rectangle: the same fast path as any other drawing, where a framebuffer blit
// may take a slow one on some drivers. Pixel for pixel it samples the nearest texel,
// which a pixel centre hits exactly; a software renderer does that far more cheaply than
// a filtered sample or a fetch by window position.
const char* const kPresentVertexShader = R"(#version 330 core
out vec2 uv;
void main() {
    vec2 corner = vec2(float((gl_VertexID & 1) << 2) - 1.0, float((gl_VertexID & 2) << 1) - 1.0);
    gl_Position = vec4(corner, 0.0, 1.0);
    uv = (corner + 1.0) * 0.5;
}
)";

const char* const kPresentFragmentShader = R"(#version 330 core
in vec2 uv;
uniform sampler2D image;
out vec4 fragColor;
void main() {
    fragColor = vec4(texture(image, uv).rgb, 1.0);
}
)";

// The vertices a number of primitives of a kind needs.
long long verticesFor(PrimitiveType type, long long primitives) {
    switch (type) {
        case PrimitiveType::kPointList:
            return primitives;
        case PrimitiveType::kLineList:
            return primitives * 2;
        case PrimitiveType::kLineStrip:
            return primitives + 1;
        case PrimitiveType::kTriangleList:
            return primitives * 3;
        case PrimitiveType::kTriangleStrip:
        case PrimitiveType::kTriangleFan:
            return primitives + 2;
    }
    return 0;
}

// Every texture of the device: eight bits a channel, left to the driver to lay out as the
// pixels arrive (blue, green, red, alpha). A software renderer then stores them as the
// window does, so that a copy between a texture and the window is a plain copy of rows
// rather than a drawing pass, and uploads need no conversion.
constexpr GLint kTextureFormat = GL_RGBA;

GLuint compileShader(GLenum kind, const char* source, std::string& error) {
    GLuint shader = GL_CHECK(glCreateShader(kind));
    GL_CHECK(glShaderSource(shader, 1, &source, nullptr));
    GL_CHECK(glCompileShader(shader));
    GLint ok = 0;
    GL_CHECK(glGetShaderiv(shader, GL_COMPILE_STATUS, &ok));
    if (!ok) {
        char log[1024] = {};
        GL_CHECK(glGetShaderInfoLog(shader, sizeof log, nullptr, log));
        error = log;
        GL_CHECK(glDeleteShader(shader));
        return 0;
    }
    return shader;
}

}  // namespace

bool GraphicsDevice::keepPresentedFrames = false;

GraphicsDevice::GraphicsDevice(Window& window_) : window(window_) {
    for (DeviceMatrix& m : transforms) m = DeviceMatrix::identity();
}

std::int32_t GraphicsDevice::create(Window& window, const PresentParameters& parameters, GraphicsDevice** out) {
    *out = nullptr;
    auto* device = new GraphicsDevice(window);
    const std::int32_t result = device->init(parameters);
    if (result < 0) {
        lastCreateError() = device->error;
        delete device;
        return result;
    }
    *out = device;
    return result;
}

std::string& GraphicsDevice::lastCreateError() {
    static std::string text;
    return text;
}

std::int32_t GraphicsDevice::init(const PresentParameters& p) {
    SDL_Window* w = window.handle();
    if (!w) {
        error = "no window";
        return ResultCode::kInvalidCall;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    glContext = SDL_GL_CreateContext(w);
    if (!glContext) {
        error = SDL_GetError();
        return ResultCode::kNotAvailable;
    }
    GL_CHECK(glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture));
    GLint viewportDims[2] = {0, 0};
    GL_CHECK(glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportDims));
    // The back buffer is a texture drawn through a viewport of its size: both must take it.
    maxBackBuffer[0] = std::min(maxTexture, static_cast<int>(viewportDims[0]));
    maxBackBuffer[1] = std::min(maxTexture, static_cast<int>(viewportDims[1]));
    GLint sampleBuffers = 0;
    GL_CHECK(glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers));  // of the window, bound now
    windowSingleSampled = sampleBuffers == 0;
    GLint doubleBuffered = 1;
    GL_CHECK(glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered));
    windowDoubleBuffered = doubleBuffered != 0;
    if (!buildProgram()) return ResultCode::kNotAvailable;
    GL_CHECK(glGenFramebuffers(1, &copyFrameBuffer));
    GL_CHECK(glGenVertexArrays(1, &batchVertexArray));
    GL_CHECK(glGenBuffers(1, &batchBuffer));
    GL_CHECK(glBindVertexArray(batchVertexArray));
    GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, batchBuffer));
    constexpr GLsizei stride = sizeof(ClipVertex);
    GL_CHECK(glEnableVertexAttribArray(0));
    GL_CHECK(glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride,
                                   reinterpret_cast<const void*>(offsetof(ClipVertex, x))));
    GL_CHECK(glEnableVertexAttribArray(1));
    GL_CHECK(glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                                   reinterpret_cast<const void*>(offsetof(ClipVertex, factor))));
    GL_CHECK(glEnableVertexAttribArray(2));
    GL_CHECK(glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                                   reinterpret_cast<const void*>(offsetof(ClipVertex, u))));
    GL_CHECK(glEnableVertexAttribArray(3));
    GL_CHECK(glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                                   reinterpret_cast<const void*>(offsetof(ClipVertex, weights))));
    canCopyImages = epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_ARB_copy_image");
    // The texture that an empty stage samples: one opaque white texel.
    const std::uint32_t white = 0xFFFFFFFFu;
    GL_CHECK(glGenTextures(1, &whiteTexture));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, whiteTexture));
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, kTextureFormat, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0));
    boundTexture = whiteTexture;
    GL_CHECK(glGenSamplers(1, &sampler));
    GL_CHECK(glGenSamplers(1, &nearestSampler));
    for (GLuint s : {sampler, nearestSampler}) {
        GL_CHECK(glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GL_REPEAT));
        GL_CHECK(glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GL_REPEAT));
    }
    GL_CHECK(glSamplerParameteri(nearestSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST));
    GL_CHECK(glSamplerParameteri(nearestSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST));
    boundSampler = sampler;
    GL_CHECK(glBindSampler(0, sampler));
    setLinearFilter(true);
    GL_CHECK(glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    GL_CHECK(glEnable(GL_BLEND));
    GL_CHECK(glDisable(GL_DEPTH_TEST));
    GL_CHECK(glDisable(GL_CULL_FACE));
    GL_CHECK(glDisable(GL_DITHER));
    const std::int32_t result = reset(p);
    // A back buffer larger than the device takes leaves it made but not reset: only now
    // are its limits known, and its owner resets it to a size within them.
    return result == ResultCode::kInvalidCall ? ResultCode::kOk : result;
}

unsigned GraphicsDevice::linkProgram(const char* vertexSource, const char* fragmentSource) {
    const GLuint vs = compileShader(GL_VERTEX_SHADER, vertexSource, error);
    if (!vs) return 0;
    const GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragmentSource, error);
    if (!fs) {
        GL_CHECK(glDeleteShader(vs));
        return 0;
    }
    GLuint linked = GL_CHECK(glCreateProgram());
    GL_CHECK(glAttachShader(linked, vs));
    GL_CHECK(glAttachShader(linked, fs));
    GL_CHECK(glLinkProgram(linked));
    GL_CHECK(glDeleteShader(vs));
    GL_CHECK(glDeleteShader(fs));
    GLint ok = 0;
    GL_CHECK(glGetProgramiv(linked, GL_LINK_STATUS, &ok));
    if (!ok) {
        char log[1024] = {};
        GL_CHECK(glGetProgramInfoLog(linked, sizeof log, nullptr, log));
        error = log;
        GL_CHECK(glDeleteProgram(linked));
        return 0;
    }
    return linked;
}

bool GraphicsDevice::buildProgram() {
    presentProgram = linkProgram(kPresentVertexShader, kPresentFragmentShader);
    if (!presentProgram || !buildStageProgram(kVariantGeneral)) return false;
    // Every program is built now, so that the shader compiler can go: its library of
    // built-in functions alone holds several megabytes for as long as it is kept. A
    // variant that does not build is drawn by the general program.
    for (int variant = 0; variant < kVariantCount; ++variant)
        if (variant != kVariantGeneral) buildStageProgram(variant);
    GL_CHECK(glReleaseShaderCompiler());
    GL_CHECK(glUseProgram(presentProgram));
    GL_CHECK(glUniform1i(glGetUniformLocation(presentProgram, "image"), 0));
    GL_CHECK(glGenVertexArrays(1, &presentVertexArray));
    useStageProgram(kVariantGeneral);
    return true;
}

bool GraphicsDevice::buildStageProgram(int variant) {
    const std::string source = std::string("#version 330 core\n#define TEXTURE_ONLY ") +
                               ((variant & kVariantTextureOnly) ? "1" : "0") + "\n#define ALPHA_TEST " +
                               ((variant & kVariantAlphaTest) ? "1" : "0") + "\n" + kFragmentShader;
    StageProgram& p = stagePrograms[variant];
    p.name = linkProgram(kVertexShader, source.c_str());
    if (!p.name) return false;
    GL_CHECK(glUseProgram(p.name));
    GL_CHECK(glUniform1i(glGetUniformLocation(p.name, "stage0"), 0));
    p.pixelOffset = GL_CHECK(glGetUniformLocation(p.name, "pixelOffset"));
    p.alphaRef = GL_CHECK(glGetUniformLocation(p.name, "alphaRef"));
    currentVariant = -1;
    return true;
}

int GraphicsDevice::availableVariant(int variant) const {
    return stagePrograms[variant].name ? variant : kVariantGeneral;
}

void GraphicsDevice::useStageProgram(int variant) {
    if (variant == currentVariant) return;
    currentVariant = variant;
    GL_CHECK(glUseProgram(stagePrograms[variant].name));
    pixelOffsetDirty = true;  // uniforms belong to their program
}

GraphicsDevice::~GraphicsDevice() {
    // Resources that outlive the device must not touch OpenGL once the context is gone.
    for (DeviceTexture* t : textures) t->device = nullptr;
    for (DeviceVertexBuffer* b : buffers) b->device = nullptr;
    if (!glContext) return;
    for (DeviceTexture* t : textures) GL_CHECK(glDeleteTextures(1, &t->name));
    GL_CHECK(glDeleteVertexArrays(1, &batchVertexArray));
    GL_CHECK(glDeleteBuffers(1, &batchBuffer));
    releaseBackBuffer();
    GL_CHECK(glDeleteFramebuffers(1, &copyFrameBuffer));
    GL_CHECK(glDeleteTextures(1, &whiteTexture));
    GL_CHECK(glDeleteSamplers(1, &sampler));
    GL_CHECK(glDeleteSamplers(1, &nearestSampler));
    for (const StageProgram& p : stagePrograms) GL_CHECK(glDeleteProgram(p.name));
    GL_CHECK(glDeleteProgram(presentProgram));
    GL_CHECK(glDeleteVertexArrays(1, &presentVertexArray));
    SDL_GL_DeleteContext(glContext);
}

std::int32_t GraphicsDevice::testCooperativeLevel() const {
    return lost ? ResultCode::kDeviceNotReset : ResultCode::kOk;
}

bool GraphicsDevice::buildBackBuffer(int width, int height) {
    releaseBackBuffer();
    GL_CHECK(glGenTextures(1, &colourBuffer));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, colourBuffer));
    // Red first: a software renderer draws into blue-first images along a path of its own
    // that moves some edges lying exactly on pixel centres by a pixel.
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, boundTexture));
    GL_CHECK(glGenFramebuffers(1, &frameBuffer));
    GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer));
    GL_CHECK(glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourBuffer, 0));
    if (GL_CHECK(glCheckFramebufferStatus(GL_FRAMEBUFFER)) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the off-screen back buffer is incomplete";
        releaseBackBuffer();
        return false;
    }
    return true;
}

bool GraphicsDevice::chooseTarget(int width, int height) {
    int dw = 0, dh = 0;
    window.surfaceSize(dw, dh);
    direct = windowSingleSampled && dw == width && dh == height && dw == swappedWidth && dh == swappedHeight;
    if (direct)
        releaseBackBuffer();  // a window-sized image less to keep
    else if (!frameBuffer && !buildBackBuffer(width, height))
        return false;
    GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, targetFrameBuffer()));
    return true;
}

void GraphicsDevice::releaseBackBuffer() {
    if (frameBuffer) {
        GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, 0));
        GL_CHECK(glDeleteFramebuffers(1, &frameBuffer));
    }
    if (colourBuffer) GL_CHECK(glDeleteTextures(1, &colourBuffer));
    frameBuffer = colourBuffer = 0;
}

std::int32_t GraphicsDevice::applyWindowMode(const PresentParameters& p) {
    SDL_Window* w = window.handle();
    if (SDL_SetWindowFullscreen(w, p.windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        error = SDL_GetError();
        return ResultCode::kNotAvailable;
    }
    const bool wait = p.windowed || p.presentationInterval != PresentParameters::kIntervalImmediate;
    // Some drivers cannot turn the wait off; that only costs frame rate.
    SDL_GL_SetSwapInterval(wait ? 1 : 0);
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::reset(const PresentParameters& p) {
    settle();
    if (simulatedResetFailures > 0) {
        --simulatedResetFailures;
        lost = true;
        error = "simulated reset failure";
        return ResultCode::kDeviceLost;
    }
    if (p.backBufferWidth <= 0 || p.backBufferHeight <= 0 || p.backBufferWidth > maxBackBuffer[0] ||
        p.backBufferHeight > maxBackBuffer[1]) {
        lost = true;
        error = "back buffer size not possible";
        return ResultCode::kInvalidCall;
    }
    std::int32_t result = applyWindowMode(p);
    releaseBackBuffer();  // the old size's
    if (result >= 0 && !chooseTarget(p.backBufferWidth, p.backBufferHeight)) result = ResultCode::kOutOfVideoMemory;
    lost = result < 0;
    if (lost) return result;
    parameters = p;
    setViewport(DeviceViewport{0, 0, p.backBufferWidth, p.backBufferHeight, 0.0f, 1.0f});
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::beginScene() {
    if (lost) return ResultCode::kDeviceLost;
    settle();
    // The window may have been resized since the last frame.
    if (!chooseTarget(parameters.backBufferWidth, parameters.backBufferHeight)) {
        lost = true;
        error = "the off-screen back buffer could not be made";
        return ResultCode::kDeviceLost;
    }
    applyGLViewport();
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::endScene() {
    if (lost) return ResultCode::kDeviceLost;
    settle();
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::present() {
    if (lost) return ResultCode::kDeviceLost;
    settle();
    window.surfaceSize(swappedWidth, swappedHeight);
    if (direct) {
        // The frame is in the window already; after the swap its back buffer is undefined.
        if (keepPresentedFrames)
            readTarget(presentedFrame);
        else
            presentedFrame.clear();
        swapWindow();
        framePresented = true;
        return ResultCode::kOk;
    }
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window.handle(), &dw, &dh);
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    int x0, y0, x1, y1;
    presentRect(dw, dh, x0, y0, x1, y1);
    const bool exact = x1 - x0 == bw && y1 - y0 == bh;
    GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, 0));
    if (!exact || dw != bw || dh != bh) {
        GL_CHECK(glViewport(0, 0, dw, dh));
        GL_CHECK(glClearColor(0.0f, 0.0f, 0.0f, 1.0f));
        GL_CHECK(glClear(GL_COLOR_BUFFER_BIT));
    }
    GL_CHECK(glViewport(x0, y0, x1 - x0, y1 - y0));
    GL_CHECK(glUseProgram(presentProgram));
    GL_CHECK(glBindVertexArray(presentVertexArray));
    GL_CHECK(glBindSampler(0, 0));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, colourBuffer));
    const GLint filter = exact ? GL_NEAREST : GL_LINEAR;
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter));
    applyBlend(false);
    GL_CHECK(glDrawArrays(GL_TRIANGLES, 0, 3));
    // Back to the drawing state the scene expects (the next draw sets blending).
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, boundTexture));
    GL_CHECK(glBindSampler(0, boundSampler));
    currentVariant = -1;  // the next draw chooses and binds its program again
    swapWindow();
    GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer));
    applyGLViewport();
    return ResultCode::kOk;
}

void GraphicsDevice::presentRect(int dw, int dh, int& x0, int& y0, int& x1, int& y1) const {
    const int bw = std::max(1, parameters.backBufferWidth), bh = std::max(1, parameters.backBufferHeight);
    // The back buffer keeps its own shape in the window: scaled to fit, bars around.
    x0 = 0, y0 = 0, x1 = dw, y1 = dh;
    if (static_cast<long long>(dw) * bh > static_cast<long long>(dh) * bw) {
        const int w = static_cast<int>(static_cast<long long>(dh) * bw / bh);
        x0 = (dw - w) / 2;
        x1 = x0 + w;
    } else {
        const int h = static_cast<int>(static_cast<long long>(dw) * bh / bw);
        y0 = (dh - h) / 2;
        y1 = y0 + h;
    }
}

// Mouse and touch positions arrive in drawable pixels, the space present() draws in.
GraphicsDevice::PresentArea GraphicsDevice::presentArea() const {
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window.handle(), &dw, &dh);
    int x0, y0, x1, y1;
    presentRect(dw, dh, x0, y0, x1, y1);
    // Rows of the window count from the top; presentRect's from the bottom.
    return {static_cast<float>(x0), static_cast<float>(dh - y1), static_cast<float>(x1 - x0),
            static_cast<float>(y1 - y0)};
}

void GraphicsDevice::backBufferToWindow(float bx, float by, float& x, float& y) const {
    const PresentArea a = presentArea();
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    x = bw > 0 ? a.left + bx * a.width / static_cast<float>(bw) : bx;
    y = bh > 0 ? a.top + by * a.height / static_cast<float>(bh) : by;
}

namespace {
bool covers(const DeviceViewport& a, const DeviceViewport& b) {
    return a.x <= b.x && a.y <= b.y && a.x + a.width >= b.x + b.width && a.y + a.height >= b.y + b.height;
}
}  // namespace

// A clear waits until something needs the pixels: a copy that overwrites them all makes it
// unnecessary, and a software renderer would otherwise have to finish it before copying.
std::int32_t GraphicsDevice::clear(std::uint32_t argb) {
    if (lost) return ResultCode::kDeviceLost;
    flushBatch();
    if (clearPending && !covers(viewport, clearRect)) emitClear();
    clearPending = true;
    clearRect = viewport;
    clearColour = argb;
    return ResultCode::kOk;
}

void GraphicsDevice::emitClear() {
    if (!clearPending) return;
    clearPending = false;
    if (lost || !hasTarget()) return;  // no back buffer to clear
    framePresented = false;
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    const DeviceViewport& r = clearRect;
    // Only a rectangle smaller than the buffer needs the scissor; a whole clear is faster.
    const bool partial = r.x != 0 || r.y != 0 || r.width != bw || r.height != bh;
    if (partial) {
        GL_CHECK(glEnable(GL_SCISSOR_TEST));
        GL_CHECK(glScissor(r.x, bh - r.y - r.height, r.width, r.height));
    }
    const std::uint32_t argb = clearColour;
    GL_CHECK(glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
                          static_cast<float>((argb >> 8) & 0xFF) / 255.0f, static_cast<float>(argb & 0xFF) / 255.0f,
                          static_cast<float>(argb >> 24) / 255.0f));
    GL_CHECK(glClear(GL_COLOR_BUFFER_BIT));
    if (partial) GL_CHECK(glDisable(GL_SCISSOR_TEST));
}

void GraphicsDevice::settle() {
    flushBatch();
    emitClear();
}

std::int32_t GraphicsDevice::setViewport(const DeviceViewport& v) {
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    if (v.width <= 0 || v.height <= 0 || v.x < 0 || v.y < 0 || v.x + v.width > bw || v.y + v.height > bh)
        return ResultCode::kInvalidCall;
    flushBatch();
    viewport = v;
    applyGLViewport();
    return ResultCode::kOk;
}

void GraphicsDevice::applyGLViewport() {
    if (!hasTarget() || viewport.width <= 0) return;
    // The back buffer is stored bottom-up; viewports are given from the top.
    GL_CHECK(glViewport(viewport.x, parameters.backBufferHeight - viewport.y - viewport.height, viewport.width,
                        viewport.height));
    GL_CHECK(glDepthRange(viewport.minZ, viewport.maxZ));
    pixelOffsetDirty = true;
}

std::int32_t GraphicsDevice::validateDevice(int& passes) const {
    passes = 1;
    return lost ? ResultCode::kDeviceLost : ResultCode::kOk;
}

void GraphicsDevice::setTransform(TransformKind kind, const DeviceMatrix& m) {
    transforms[static_cast<int>(kind)] = m;
    transformDirty = true;
    if (kind != TransformKind::kWorld) viewProjectionDirty = true;
}

const DeviceMatrix& GraphicsDevice::getTransform(TransformKind kind) const {
    return transforms[static_cast<int>(kind)];
}

void GraphicsDevice::setBlendEnabled(bool enabled) { blend = enabled; }

void GraphicsDevice::applyBlend(bool enabled) {
    if (enabled == glBlend) return;
    glBlend = enabled;
    if (enabled)
        GL_CHECK(glEnable(GL_BLEND));
    else
        GL_CHECK(glDisable(GL_BLEND));
}

// Source alpha 1 makes the blend give the source colour exactly, and the alpha 1 either way.
bool GraphicsDevice::drawIsOpaque() const {
    const bool textureOpaque = !boundDeviceTexture || boundDeviceTexture->isOpaque();
    const bool factorOpaque = (factor >> 24) == 0xFFu;
    switch (alphaOp) {
        case TextureOp::kSelectTexture:
            return textureOpaque;
        case TextureOp::kSelectFactor:
            return factorOpaque;
        case TextureOp::kModulate:
            break;
    }
    return textureOpaque && factorOpaque;
}

void GraphicsDevice::setAlphaTest(bool enabled, int reference) {
    alphaTest = enabled;
    alphaRef = reference;
}

void GraphicsDevice::setColorOp(TextureOp op) { colorOp = op; }

void GraphicsDevice::setAlphaOp(TextureOp op) { alphaOp = op; }

void GraphicsDevice::setTextureFactor(std::uint32_t argb) { factor = argb; }

void GraphicsDevice::setLinearFilter(bool linear) {
    flushBatch();  // the gathered draws were made for the filter they had
    linearFilter = linear;
    GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR : GL_NEAREST));
    GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST));
}

DeviceTexture* GraphicsDevice::createTexture(int width, int height) {
    if (width <= 0 || height <= 0 || width > maxTexture || height > maxTexture) {
        error = "texture size not possible";
        return nullptr;
    }
    GLuint name = 0;
    GL_CHECK(glGenTextures(1, &name));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, name));
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, kTextureFormat, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, boundTexture));
    auto* texture = new DeviceTexture(this, name, width, height);
    textures.insert(texture);
    return texture;
}

void GraphicsDevice::setTexture(const DeviceTexture* texture) {
    boundDeviceTexture = texture && texture->device == this ? texture : nullptr;
}

DeviceVertexBuffer* GraphicsDevice::createVertexBuffer(int bytes) {
    if (bytes <= 0) {
        error = "empty vertex buffer";
        return nullptr;
    }
    // Whole vertices, so that a draw can address them by vertex number.
    const int stride = DeviceVertexBuffer::kStride;
    auto* result = new DeviceVertexBuffer(this, (bytes + stride - 1) / stride * stride);
    buffers.insert(result);
    return result;
}

void GraphicsDevice::setStreamSource(const DeviceVertexBuffer* buffer) { stream = buffer; }

std::int32_t GraphicsDevice::drawPrimitive(PrimitiveType type, int first, int primitiveCount) {
    if (lost) return ResultCode::kDeviceLost;
    if (!stream || stream->device != this) return ResultCode::kInvalidCall;
    if (primitiveCount <= 0) return ResultCode::kOk;
    const long long count = verticesFor(type, primitiveCount);
    if (first < 0 || first + count > stream->size() / DeviceVertexBuffer::kStride) return ResultCode::kInvalidCall;
    gather(type, first, static_cast<int>(count));
    return ResultCode::kOk;
}

void GraphicsDevice::gather(PrimitiveType type, int first, int count) {
    updateTransforms();
    const DrawBatcher::Draw draw = describeDraw(type);
    if (!batcher.canJoin(draw)) flushBatch();
    const std::uint8_t* source =
        stream->contents.data() + static_cast<std::ptrdiff_t>(first) * DeviceVertexBuffer::kStride;
    batcher.append(draw, source, count, worldViewProjection);
}

void GraphicsDevice::updateTransforms() {
    if (viewProjectionDirty) {
        viewProjection = DeviceMatrix::product(transforms[1], transforms[2]);
        viewProjectionDirty = false;
        transformDirty = true;
    }
    if (transformDirty) {
        worldViewProjection = DeviceMatrix::product(transforms[0], viewProjection);
        transformDirty = false;
    }
}

DrawBatcher::Draw GraphicsDevice::describeDraw(PrimitiveType type) const {
    DrawBatcher::Draw d;
    d.type = type;
    d.texture = boundDeviceTexture;
    // Blending source alpha over its inverse leaves a pixel as it was when the alpha
    // rounds to 0, which is exactly what a test at reference 0 drops: the test matters
    // only without blending or at a higher reference.
    d.alphaTestRef = alphaTest && (!blend || alphaRef > 0) ? alphaRef : -1;
    // An opaque draw looks the same blended or not, so it joins either kind of batch.
    const bool opaque = drawIsOpaque();
    d.blended = blend && !opaque;
    d.replacing = !blend && !opaque;
    d.textureOnly = colorOp == TextureOp::kSelectTexture && alphaOp == TextureOp::kSelectTexture;
    // The tint where an operation uses the factor, white where it does not; the weights
    // take the texture (255) or white (0).
    const bool colourUsesFactor = colorOp != TextureOp::kSelectTexture;
    const bool alphaUsesFactor = alphaOp != TextureOp::kSelectTexture;
    d.tint = (colourUsesFactor ? factor & 0x00FFFFFFu : 0x00FFFFFFu) |
             (alphaUsesFactor ? factor & 0xFF000000u : 0xFF000000u);
    d.colourWeight = colorOp == TextureOp::kSelectFactor ? 0 : 255;
    d.alphaWeight = alphaOp == TextureOp::kSelectFactor ? 0 : 255;
    d.linearFilter = linearFilter;
    d.viewportWidth = viewport.width;
    d.viewportHeight = viewport.height;
    return d;
}

void GraphicsDevice::flushBatch() {
    if (batcher.empty()) return;
    if (lost) {
        batcher.clear();
        return;
    }
    emitClear();
    framePresented = false;
    applyBatchState(batcher.state());
    const std::vector<ClipVertex>& vertices = batcher.vertices();
    if (sentBatches) {
        const DrawBatcher::State& state = batcher.state();
        sentBatches->push_back(SentBatch{state.texture ? state.texture->name : 0u, state.mode, vertices});
    }
    GL_CHECK(glBindVertexArray(batchVertexArray));
    GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, batchBuffer));
    const std::size_t bytes = vertices.size() * sizeof(ClipVertex);
    const std::size_t offset = reserveBatchVertices(bytes);
    // Unsynchronised: the range written was not used since the store was renewed, so the
    // driver need not wait for the draws still reading the ranges before it.
    void* room =
        GL_CHECK(glMapBufferRange(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                                  GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT));
    if (room) {
        std::memcpy(room, vertices.data(), bytes);
        GL_CHECK(glUnmapBuffer(GL_ARRAY_BUFFER));
        GL_CHECK(glDrawArrays(batcher.state().mode, static_cast<GLint>(offset / sizeof(ClipVertex)),
                              static_cast<GLsizei>(vertices.size())));
    }
    batcher.clear();
}

std::size_t GraphicsDevice::reserveBatchVertices(std::size_t bytes) {
    // Room for many batches before the store is renewed, yet small: every renewed store is
    // one the driver allocates again, and 1 MiB stores left about 4 MiB more of the heap
    // in use at the title than these. A larger batch grows it.
    constexpr std::size_t kMinimumCapacity = std::size_t{1} << 18;
    if (batchUsed + bytes > batchCapacity) {
        batchCapacity = std::max({batchCapacity, kMinimumCapacity, std::bit_ceil(bytes)});
        // A new store: the draws still reading the old one keep it until they are done.
        GL_CHECK(glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batchCapacity), nullptr, GL_STREAM_DRAW));
        batchUsed = 0;
    }
    const std::size_t offset = batchUsed;
    batchUsed += bytes;
    return offset;
}

void GraphicsDevice::applyBatchState(const DrawBatcher::State& batch) {
    const int wanted =
        (batch.textureOnly ? kVariantTextureOnly : 0) | (batch.alphaTestRef >= 0 ? kVariantAlphaTest : 0);
    useStageProgram(availableVariant(wanted));
    const StageProgram& p = stagePrograms[currentVariant];
    if (pixelOffsetDirty) {
        GL_CHECK(glUniform2f(p.pixelOffset, 1.0f / static_cast<float>(viewport.width),
                             -1.0f / static_cast<float>(viewport.height)));
        pixelOffsetDirty = false;
    }
    GL_CHECK(glUniform1f(p.alphaRef, static_cast<float>(batch.alphaTestRef)));
    const unsigned texture = batch.texture ? batch.texture->name : whiteTexture;
    if (texture != boundTexture) {
        boundTexture = texture;
        GL_CHECK(glBindTexture(GL_TEXTURE_2D, texture));
    }
    const unsigned wantedSampler = batch.exact ? nearestSampler : sampler;
    if (wantedSampler != boundSampler) {
        boundSampler = wantedSampler;
        GL_CHECK(glBindSampler(0, wantedSampler));
    }
    applyBlend(batch.blended);
}

bool GraphicsDevice::copyViewportTo(DeviceTexture& texture) {
    if (!copyViewport(texture, true)) return false;
    texture.opaqueRows = 0;  // whatever the back buffer held
    texture.opaqueSpans.clear();
    texture.rowsFromTop = direct;
    return true;
}

bool GraphicsDevice::copyViewportFrom(const DeviceTexture& texture) { return copyViewport(texture, false); }

bool GraphicsDevice::copyViewport(const DeviceTexture& texture, bool toTexture) {
    if (lost || !canCopyImages || !hasTarget() || texture.device != this || texture.width() < viewport.width ||
        texture.height() < viewport.height)
        return false;
    flushBatch();
    if (!toTexture && clearPending && covers(viewport, clearRect)) clearPending = false;  // all overwritten
    emitClear();
    framePresented = false;
    const int x = viewport.x, y = parameters.backBufferHeight - viewport.y - viewport.height;
    blitViewport(texture, toTexture, x, y);  // converts between the images' layouts
    if (sentBatches && !toTexture)
        sentBatches->push_back(
            SentBatch{texture.name, 0, {}, {x, y, viewport.width, viewport.height, 0.0f, 1.0f}, texture.rowsFromTop});
    return true;
}

// A window's rows are kept in the texture from the top: the driver of a software renderer
// stores the window that way round, so that the copy back into it is a plain copy of rows.
void GraphicsDevice::blitViewport(const DeviceTexture& texture, bool toTexture, int x, int y) {
    const int w = viewport.width, h = viewport.height;
    const GLenum textureSide = toTexture ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER;
    GL_CHECK(glBindFramebuffer(textureSide, copyFrameBuffer));
    GL_CHECK(glFramebufferTexture2D(textureSide, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.name, 0));
    GL_CHECK(glBindFramebuffer(toTexture ? GL_READ_FRAMEBUFFER : GL_DRAW_FRAMEBUFFER, targetFrameBuffer()));
    // The texture's rows [0, h), from the top or the bottom, against the viewport's rows.
    const bool turn = toTexture ? direct : texture.rowsFromTop;
    const int t0 = turn ? h : 0, t1 = turn ? 0 : h;
    if (toTexture)
        GL_CHECK(glBlitFramebuffer(x, y, x + w, y + h, 0, t0, w, t1, GL_COLOR_BUFFER_BIT, GL_NEAREST));
    else
        GL_CHECK(glBlitFramebuffer(0, t0, w, t1, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, GL_NEAREST));
    // Let go of the texture, which its owner may delete.
    GL_CHECK(glFramebufferTexture2D(textureSide, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0));
    GL_CHECK(glBindFramebuffer(GL_FRAMEBUFFER, targetFrameBuffer()));
}

void GraphicsDevice::swapWindow() {
    // A swap need not hand the frame's draws to the driver: an off-screen surface's swap
    // does nothing, and a software renderer then keeps every frame's binned draws queued
    // (about 120 KB a frame) until something else flushes them.
    GL_CHECK(glFlush());
    SDL_GL_SwapWindow(window.handle());
}

bool GraphicsDevice::readBackBuffer(std::vector<std::uint32_t>& pixels, int& width, int& height) {
    if (lost || !hasTarget()) return false;
    settle();
    if (!framePresented)
        readTarget(pixels);
    else if (!presentedFrame.empty())
        pixels = presentedFrame;
    else if (!readShownFrame(pixels))
        return false;
    width = parameters.backBufferWidth;
    height = parameters.backBufferHeight;
    return true;
}

// The frame a window shows after its swap, read when asked rather than kept at every
// swap: a copy per frame is a window-sized copy that a software renderer pays on the
// processor in every frame, for a picture wanted once (a crash, a screenshot key).
//  - The window's back buffer is undefined after the swap: drivers that flip hand back an
//    older frame, or nothing.
//  - Its front buffer is no better: Mesa's llvmpipe reads it as black under X (softpipe
//    reads the frame), and nothing promises it elsewhere.
//  - A surface with one buffer (an off-screen window) still holds the frame.
//  - On an X server the window's picture is the server's to give: under a compositor the
//    window's own, without one what the screen shows in its place, which is the game's
//    window as long as nothing covers it (as when a fatal error stops the game).
// Elsewhere (a window on another display system) nothing is read: false.
bool GraphicsDevice::readShownFrame(std::vector<std::uint32_t>& pixels) {
    const int width = parameters.backBufferWidth, height = parameters.backBufferHeight;
    if (!windowDoubleBuffered) {
        readTarget(pixels);
        return true;
    }
    return X11Geometry::readPicture(window.handle(), width, height, pixels);
}

void GraphicsDevice::readTarget(std::vector<std::uint32_t>& pixels) {
    const int width = parameters.backBufferWidth, height = parameters.backBufferHeight;
    std::vector<std::uint32_t> bottomUp(static_cast<std::size_t>(width) * height);
    GL_CHECK(glBindFramebuffer(GL_READ_FRAMEBUFFER, targetFrameBuffer()));
    GL_CHECK(glPixelStorei(GL_PACK_ALIGNMENT, 4));
    GL_CHECK(glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data()));
    pixels.resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(height - 1 - y) * width, width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
}

bool GraphicsDevice::setGammaRamp(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue) {
    if (SDL_SetWindowGammaRamp(window.handle(), red, green, blue) == 0) return true;
    error = SDL_GetError();
    return false;
}

const char* GraphicsDevice::rendererName() const {
    return reinterpret_cast<const char*>(GL_CHECK(glGetString(GL_RENDERER)));
}
const char* GraphicsDevice::versionName() const {
    return reinterpret_cast<const char*>(GL_CHECK(glGetString(GL_VERSION)));
}
