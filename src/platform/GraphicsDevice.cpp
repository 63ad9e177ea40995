#include "platform/GraphicsDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>

#include "platform/DeviceTexture.h"
#include "platform/DeviceVertexBuffer.h"
#include "platform/ResultCode.h"
#include "platform/Window.h"

namespace {
// Texture stage 0 as one program. Positions are multiplied as row vectors (the matrix
// arrives row by row and is read by OpenGL column by column, i.e. transposed). Clip
// depth 0..w becomes OpenGL's -w..w, and every vertex moves half a pixel right and down
// so that pixel centres lie on whole coordinates as the drawing code expects.
const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 texCoord;
uniform mat4 transform;
uniform vec2 pixelOffset;
out vec2 uv;
void main() {
    vec4 p = transform * vec4(position, 1.0);
    p.z = 2.0 * p.z - p.w;
    p.xy += pixelOffset * p.w;
    gl_Position = p;
    uv = texCoord;
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec2 uv;
uniform sampler2D stage0;
uniform vec4 factor;
uniform int colorOp;
uniform int alphaOp;
uniform bool alphaTest;
uniform float alphaRef;
out vec4 fragColor;
void main() {
    vec4 t = texture(stage0, uv);
    vec3 rgb = colorOp == 0 ? t.rgb * factor.rgb : (colorOp == 1 ? t.rgb : factor.rgb);
    float a = alphaOp == 0 ? t.a * factor.a : (alphaOp == 1 ? t.a : factor.a);
    // Alpha is compared in whole steps of 1/255, as an 8-bit pipeline would.
    if (alphaTest && floor(a * 255.0 + 0.5) <= alphaRef) discard;
    fragColor = vec4(rgb, a);
}
)";

GLenum glPrimitive(PrimitiveType type) {
    switch (type) {
        case PrimitiveType::kPointList: return GL_POINTS;
        case PrimitiveType::kLineList: return GL_LINES;
        case PrimitiveType::kLineStrip: return GL_LINE_STRIP;
        case PrimitiveType::kTriangleList: return GL_TRIANGLES;
        case PrimitiveType::kTriangleStrip: return GL_TRIANGLE_STRIP;
        case PrimitiveType::kTriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_POINTS;
}

// The vertices a number of primitives of a kind needs.
long long verticesFor(PrimitiveType type, long long primitives) {
    switch (type) {
        case PrimitiveType::kPointList: return primitives;
        case PrimitiveType::kLineList: return primitives * 2;
        case PrimitiveType::kLineStrip: return primitives + 1;
        case PrimitiveType::kTriangleList: return primitives * 3;
        case PrimitiveType::kTriangleStrip:
        case PrimitiveType::kTriangleFan: return primitives + 2;
    }
    return 0;
}

GLuint compileShader(GLenum kind, const char* source, std::string& error) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void setFactorUniform(int location, std::uint32_t argb) {
    glUniform4f(location, static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
                static_cast<float>((argb >> 8) & 0xFF) / 255.0f, static_cast<float>(argb & 0xFF) / 255.0f,
                static_cast<float>(argb >> 24) / 255.0f);
}
}  // namespace

GraphicsDevice::GraphicsDevice(Window& window_) : window(window_) {
    for (Matrix& m : transforms) m = Matrix::identity();
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
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    if (!buildProgram()) return ResultCode::kNotAvailable;
    // The texture that an empty stage samples: one opaque white texel.
    const std::uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &whiteTexture);
    glBindTexture(GL_TEXTURE_2D, whiteTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    boundTexture = whiteTexture;
    glGenSamplers(1, &sampler);
    glBindSampler(0, sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
    setLinearFilter(true);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    return reset(p);
}

bool GraphicsDevice::buildProgram() {
    const GLuint vs = compileShader(GL_VERTEX_SHADER, kVertexShader, error);
    if (!vs) return false;
    const GLuint fs = compileShader(GL_FRAGMENT_SHADER, kFragmentShader, error);
    if (!fs) {
        glDeleteShader(vs);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        error = log;
        return false;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "stage0"), 0);
    uniformTransform = glGetUniformLocation(program, "transform");
    uniformPixelOffset = glGetUniformLocation(program, "pixelOffset");
    uniformFactor = glGetUniformLocation(program, "factor");
    uniformColorOp = glGetUniformLocation(program, "colorOp");
    uniformAlphaOp = glGetUniformLocation(program, "alphaOp");
    uniformAlphaTest = glGetUniformLocation(program, "alphaTest");
    uniformAlphaRef = glGetUniformLocation(program, "alphaRef");
    return true;
}

GraphicsDevice::~GraphicsDevice() {
    // Resources that outlive the device must not touch OpenGL once the context is gone.
    for (DeviceTexture* t : textures) t->device = nullptr;
    for (DeviceVertexBuffer* b : buffers) b->device = nullptr;
    if (!glContext) return;
    for (DeviceTexture* t : textures) glDeleteTextures(1, &t->name);
    for (DeviceVertexBuffer* b : buffers) {
        glDeleteVertexArrays(1, &b->vertexArray);
        glDeleteBuffers(1, &b->buffer);
    }
    releaseBackBuffer();
    glDeleteTextures(1, &whiteTexture);
    glDeleteSamplers(1, &sampler);
    glDeleteProgram(program);
    SDL_GL_DeleteContext(glContext);
}

std::int32_t GraphicsDevice::testCooperativeLevel() const { return lost ? ResultCode::kDeviceNotReset : ResultCode::kOk; }

bool GraphicsDevice::buildBackBuffer(int width, int height) {
    releaseBackBuffer();
    glGenTextures(1, &colourBuffer);
    glBindTexture(GL_TEXTURE_2D, colourBuffer);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, boundTexture);
    glGenFramebuffers(1, &frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourBuffer, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the off-screen back buffer is incomplete";
        releaseBackBuffer();
        return false;
    }
    return true;
}

void GraphicsDevice::releaseBackBuffer() {
    if (frameBuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &frameBuffer);
    }
    if (colourBuffer) glDeleteTextures(1, &colourBuffer);
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
    if (simulatedResetFailures > 0) {
        --simulatedResetFailures;
        lost = true;
        error = "simulated reset failure";
        return ResultCode::kDeviceLost;
    }
    if (p.backBufferWidth <= 0 || p.backBufferHeight <= 0 || p.backBufferWidth > maxTexture ||
        p.backBufferHeight > maxTexture) {
        lost = true;
        error = "back buffer size not possible";
        return ResultCode::kInvalidCall;
    }
    std::int32_t result = applyWindowMode(p);
    if (result >= 0 && !buildBackBuffer(p.backBufferWidth, p.backBufferHeight)) result = ResultCode::kOutOfVideoMemory;
    lost = result < 0;
    if (lost) return result;
    parameters = p;
    setViewport(DeviceViewport{0, 0, p.backBufferWidth, p.backBufferHeight, 0.0f, 1.0f});
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::beginScene() {
    if (lost) return ResultCode::kDeviceLost;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    applyGLViewport();
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::endScene() { return lost ? ResultCode::kDeviceLost : ResultCode::kOk; }

std::int32_t GraphicsDevice::present() {
    if (lost) return ResultCode::kDeviceLost;
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window.handle(), &dw, &dh);
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    int x0, y0, x1, y1;
    presentRect(dw, dh, x0, y0, x1, y1);
    const bool exact = x1 - x0 == bw && y1 - y0 == bh;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    if (!exact || dw != bw || dh != bh) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBlitFramebuffer(0, 0, bw, bh, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window.handle());
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
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

void GraphicsDevice::windowToBackBuffer(float x, float y, float& bx, float& by) const {
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window.handle(), &ww, &wh);
    int x0, y0, x1, y1;
    presentRect(ww, wh, x0, y0, x1, y1);
    // Rows of the window count from the top; presentRect's from the bottom.
    const float top = static_cast<float>(wh - y1);
    bx = x1 > x0 ? (x - static_cast<float>(x0)) * static_cast<float>(parameters.backBufferWidth) / static_cast<float>(x1 - x0) : x;
    by = y1 > y0 ? (y - top) * static_cast<float>(parameters.backBufferHeight) / static_cast<float>(y1 - y0) : y;
}

std::int32_t GraphicsDevice::clear(std::uint32_t argb) {
    if (lost) return ResultCode::kDeviceLost;
    const int bh = parameters.backBufferHeight;
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport.x, bh - viewport.y - viewport.height, viewport.width, viewport.height);
    glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    return ResultCode::kOk;
}

std::int32_t GraphicsDevice::setViewport(const DeviceViewport& v) {
    const int bw = parameters.backBufferWidth, bh = parameters.backBufferHeight;
    if (v.width <= 0 || v.height <= 0 || v.x < 0 || v.y < 0 || v.x + v.width > bw || v.y + v.height > bh)
        return ResultCode::kInvalidCall;
    viewport = v;
    applyGLViewport();
    return ResultCode::kOk;
}

void GraphicsDevice::applyGLViewport() {
    if (!frameBuffer || viewport.width <= 0) return;
    // The off-screen buffer is stored bottom-up; viewports are given from the top.
    glViewport(viewport.x, parameters.backBufferHeight - viewport.y - viewport.height, viewport.width,
               viewport.height);
    glDepthRange(viewport.minZ, viewport.maxZ);
    glUniform2f(uniformPixelOffset, 1.0f / static_cast<float>(viewport.width),
                -1.0f / static_cast<float>(viewport.height));
}

std::int32_t GraphicsDevice::validateDevice(int& passes) const {
    passes = 1;
    return lost ? ResultCode::kDeviceLost : ResultCode::kOk;
}

void GraphicsDevice::setTransform(TransformKind kind, const Matrix& m) {
    transforms[static_cast<int>(kind)] = m;
    transformDirty = true;
}

const Matrix& GraphicsDevice::getTransform(TransformKind kind) const { return transforms[static_cast<int>(kind)]; }

void GraphicsDevice::setBlendEnabled(bool enabled) {
    if (enabled == blend) return;
    blend = enabled;
    if (enabled) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
}

void GraphicsDevice::setAlphaTest(bool enabled, int reference) {
    alphaTest = enabled;
    alphaRef = reference;
    stageDirty = true;
}

void GraphicsDevice::setColorOp(TextureOp op) {
    if (op == colorOp) return;
    colorOp = op;
    stageDirty = true;
}

void GraphicsDevice::setAlphaOp(TextureOp op) {
    if (op == alphaOp) return;
    alphaOp = op;
    stageDirty = true;
}

void GraphicsDevice::setTextureFactor(std::uint32_t argb) {
    if (argb == factor) return;
    factor = argb;
    stageDirty = true;
}

void GraphicsDevice::setLinearFilter(bool linear) {
    linearFilter = linear;
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
}

DeviceTexture* GraphicsDevice::createTexture(int width, int height) {
    if (width <= 0 || height <= 0 || width > maxTexture || height > maxTexture) {
        error = "texture size not possible";
        return nullptr;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, boundTexture);
    auto* texture = new DeviceTexture(this, name, width, height);
    textures.insert(texture);
    return texture;
}

void GraphicsDevice::setTexture(const DeviceTexture* texture) {
    const unsigned name = texture && texture->device == this ? texture->name : whiteTexture;
    if (name == boundTexture) return;
    boundTexture = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

DeviceVertexBuffer* GraphicsDevice::createVertexBuffer(int bytes) {
    if (bytes <= 0) {
        error = "empty vertex buffer";
        return nullptr;
    }
    GLuint vertexArray = 0, buffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_DYNAMIC_DRAW);
    const int stride = DeviceVertexBuffer::kStride;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(16));
    glBindVertexArray(boundVertexArray);
    auto* result = new DeviceVertexBuffer(this, vertexArray, buffer, bytes);
    buffers.insert(result);
    return result;
}

void GraphicsDevice::setStreamSource(const DeviceVertexBuffer* buffer) { stream = buffer; }

void GraphicsDevice::flushDrawState() {
    if (transformDirty) {
        const Matrix wvp = Matrix::multiply(Matrix::multiply(transforms[0], transforms[1]), transforms[2]);
        glUniformMatrix4fv(uniformTransform, 1, GL_FALSE, wvp.data());
        transformDirty = false;
    }
    if (stageDirty) {
        setFactorUniform(uniformFactor, factor);
        glUniform1i(uniformColorOp, static_cast<int>(colorOp));
        glUniform1i(uniformAlphaOp, static_cast<int>(alphaOp));
        glUniform1i(uniformAlphaTest, alphaTest ? 1 : 0);
        glUniform1f(uniformAlphaRef, static_cast<float>(alphaRef));
        stageDirty = false;
    }
}

std::int32_t GraphicsDevice::drawPrimitive(PrimitiveType type, int first, int primitiveCount) {
    if (lost) return ResultCode::kDeviceLost;
    if (!stream || stream->device != this) return ResultCode::kInvalidCall;
    if (primitiveCount <= 0) return ResultCode::kOk;
    const long long count = verticesFor(type, primitiveCount);
    if (first < 0 || first + count > stream->bytes / DeviceVertexBuffer::kStride) return ResultCode::kInvalidCall;
    flushDrawState();
    if (stream->vertexArray != boundVertexArray) {
        boundVertexArray = stream->vertexArray;
        glBindVertexArray(boundVertexArray);
    }
    glDrawArrays(glPrimitive(type), first, static_cast<GLsizei>(count));
    return ResultCode::kOk;
}

bool GraphicsDevice::readBackBuffer(std::vector<std::uint32_t>& pixels, int& width, int& height) const {
    if (lost || !frameBuffer) return false;
    width = parameters.backBufferWidth;
    height = parameters.backBufferHeight;
    std::vector<std::uint32_t> bottomUp(static_cast<std::size_t>(width) * height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
    pixels.resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(height - 1 - y) * width, width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    return true;
}

bool GraphicsDevice::setGammaRamp(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue) {
    if (SDL_SetWindowGammaRamp(window.handle(), red, green, blue) == 0) return true;
    error = SDL_GetError();
    return false;
}

const char* GraphicsDevice::rendererName() const { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }
const char* GraphicsDevice::versionName() const { return reinterpret_cast<const char*>(glGetString(GL_VERSION)); }
