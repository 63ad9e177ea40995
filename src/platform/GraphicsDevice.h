#pragma once
// The drawing device: a small fixed-function renderer over OpenGL 3.3 core, with the
// conventions the engine's drawing code was written for.
//
//  - When the window's drawable is the back buffer's size, each frame is drawn straight
//    into the window's own back buffer and present() only swaps. Otherwise it is drawn
//    into an off-screen colour buffer of the back-buffer size, which present() draws,
//    scaled and letterboxed, into the window before the swap. Either way the frame is
//    read (readBackBuffer) and copied (copyViewportTo) before the swap, while it is whole.
//  - Transforms are row-vector matrices (world, view, projection), left-handed; clip
//    depth runs 0..w. Pixel centres lie on whole screen coordinates, the viewport origin
//    is the top-left corner, and clear() touches only the current viewport.
//  - One texture stage: colour and alpha are each the texture's times the texture
//    factor, the texture's alone, or the factor's alone (TextureOp). A missing texture
//    reads as opaque white. The alpha test drops pixels whose alpha is not above the
//    reference; blending is source alpha over inverse source alpha, on or off.
//  - Draws are gathered (DrawBatcher): consecutive draws with the same texture, kind of
//    primitive and alpha test go to OpenGL as one, with their vertices placed and tinted
//    on the processor (a software renderer pays far more for each call than for a menu's
//    few pixels). They reach the back buffer in their order, before anything else reads
//    or changes it. A clear likewise waits, and a copy into the viewport that covers it
//    drops it.
//
// Lifetime: one device per engine life, owning the window's OpenGL context. Textures and
// vertex buffers it makes belong to their callers and may outlive it (they then refuse
// updates). Everything runs on the thread that created the device.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/DeviceMatrix.h"
#include "platform/DrawBatcher.h"
#include "platform/PrimitiveType.h"

class DeviceTexture;
class DeviceVertexBuffer;
class Window;

enum class TextureOp : int { kModulate = 0, kSelectTexture = 1, kSelectFactor = 2 };
enum class TransformKind : int { kWorld = 0, kView = 1, kProjection = 2 };

// A viewport in back-buffer pixels, origin at the top-left corner.
struct DeviceViewport {
    int x = 0, y = 0, width = 0, height = 0;
    float minZ = 0.0f, maxZ = 1.0f;
};

struct PresentParameters {
    // How presentation waits for the display's vertical retrace.
    static constexpr std::uint32_t kIntervalDefault = 0;              // windowed: wait
    static constexpr std::uint32_t kIntervalOne = 1;                  // wait
    static constexpr std::uint32_t kIntervalImmediate = 0x80000000u;  // never wait

    int backBufferWidth = 0;             // pixels
    int backBufferHeight = 0;            // pixels
    std::uint32_t backBufferFormat = 0;  // a PixelFormat value, for the logs
    int backBufferCount = 1;
    bool windowed = true;  // false: desktop full screen, the back buffer scaled to it
    std::uint32_t presentationInterval = kIntervalDefault;
};

class GraphicsDevice {
public:
    // Makes the device on `window` (which must have been created for OpenGL): its
    // context, shader and off-screen buffer. Returns a ResultCode; on failure *out is
    // null and SDL's or OpenGL's reason is in lastCreateError(). A back buffer larger
    // than the device takes is no failure: the device is made but not reset (see
    // maxBackBufferWidth).
    static std::int32_t create(Window& window, const PresentParameters& parameters, GraphicsDevice** out);
    ~GraphicsDevice();
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    // kOk while the device can draw; kDeviceNotReset after a failed reset until a reset
    // succeeds.
    std::int32_t testCooperativeLevel() const;
    // New presentation: back-buffer size, window or full screen, retrace wait. The old
    // back-buffer contents are lost; textures, buffers and states survive. kInvalidCall
    // (and not reset) for a back buffer beyond maxBackBufferWidth/Height.
    std::int32_t reset(const PresentParameters& parameters);
    std::int32_t beginScene();
    std::int32_t endScene();
    std::int32_t present();
    // Fills the current viewport (only) with an ARGB colour.
    std::int32_t clear(std::uint32_t argb);
    std::int32_t setViewport(const DeviceViewport& viewport);
    const DeviceViewport& getViewport() const { return viewport; }
    // Always passes in one pass; kept so that the start-up log can say so.
    std::int32_t validateDevice(int& passes) const;

    void setTransform(TransformKind kind, const DeviceMatrix& m);
    const DeviceMatrix& getTransform(TransformKind kind) const;
    // Blending as asked; a draw whose every pixel comes out opaque is drawn without it,
    // since it could not change the picture (a software renderer then need not read the
    // destination).
    void setBlendEnabled(bool enabled);
    bool isBlendEnabled() const { return blend; }
    void setAlphaTest(bool enabled, int reference);  // drop alpha (0..255) <= reference
    void setColorOp(TextureOp op);
    void setAlphaOp(TextureOp op);
    TextureOp getColorOp() const { return colorOp; }
    TextureOp getAlphaOp() const { return alphaOp; }
    void setTextureFactor(std::uint32_t argb);
    std::uint32_t getTextureFactor() const { return factor; }
    void setLinearFilter(bool linear);  // else nearest texel; wrap addressing always
    bool isLinearFilter() const { return linearFilter; }

    // A texture of width x height texels, contents undefined until updated; null with
    // the reason in lastError() when the size is not possible.
    DeviceTexture* createTexture(int width, int height);
    void setTexture(const DeviceTexture* texture);  // null: opaque white
    int maxTextureSize() const { return maxTexture; }
    // The largest back buffer: a texture the device takes, drawn through one viewport.
    int maxBackBufferWidth() const { return maxBackBuffer[0]; }
    int maxBackBufferHeight() const { return maxBackBuffer[1]; }
    DeviceVertexBuffer* createVertexBuffer(int bytes);
    void setStreamSource(const DeviceVertexBuffer* buffer);
    // Draws `primitiveCount` primitives from vertex `first` of the stream source. A count
    // of 0 or less, or a range beyond the buffer, draws nothing.
    std::int32_t drawPrimitive(PrimitiveType type, int first, int primitiveCount);

    // Keeps the current viewport's pixels in `texture` (a viewport-sized block at its
    // texel (0, 0), in the device's own row order, which the texture remembers) or puts
    // them back from there, in the order of the draws. False, copying nothing, when the texture is smaller than the
    // viewport or not this device's, or the device cannot copy between images (then the
    // caller draws instead).
    bool copyViewportTo(DeviceTexture& texture);
    bool copyViewportFrom(const DeviceTexture& texture);

    // A point in back-buffer pixels to the window's drawable pixels, through the scaling
    // and the bars of present().
    void backBufferToWindow(float bx, float by, float& x, float& y) const;
    // The back buffer as ARGB pixels, rows from the top, width x height: the frame being
    // drawn. Between present() and the next drawing, the frame presented: kept when
    // keepPresentedFrames is set, else read from where the system shows it (see
    // readShownFrame); false when it cannot be read there. Drawn straight into a window
    // without an alpha channel, every pixel reads as opaque.
    bool readBackBuffer(std::vector<std::uint32_t>& pixels, int& width, int& height);
    // 256 entries per channel, 0..65535; false when the system refuses a ramp.
    bool setGammaRamp(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue);

    // Whether this frame is drawn straight into the window (else off-screen, then scaled
    // into it).
    bool drawsIntoWindow() const { return direct; }
    const PresentParameters& presentParameters() const { return parameters; }
    const char* rendererName() const;
    const char* versionName() const;
    const char* lastError() const { return error.c_str(); }
    // Why the last create() failed.
    static std::string& lastCreateError();

    // Test hook: the number of coming resets that fail as a lost display would.
    int simulatedResetFailures = 0;
    // Test hook: present() reads every frame drawn straight into the window before it
    // swaps, so that readBackBuffer returns it afterwards exactly as drawn, whatever the
    // display shows (another window over it, say).
    static bool keepPresentedFrames;

    // One batch as it went to OpenGL: its texture (an OpenGL name; 0 for the white
    // texture), its primitive kind and its vertices, already placed and tinted. Or a kept
    // picture copied back (copyViewportFrom): then `copiedTo` is where in the back buffer
    // (OpenGL rows) the block at the texture's texel (0, 0) went, and there are no vertices;
    // `rowsFromTop` when the texture holds the block's rows from the top (a copy kept from
    // the window), so that the copy turns it over.
    struct SentBatch {
        unsigned texture = 0;
        unsigned mode = 0;
        std::vector<ClipVertex> vertices;
        DeviceViewport copiedTo{};  // width 0: a draw
        bool rowsFromTop = false;
    };
    // Benchmark hook: while set, every batch and copy sent to OpenGL is also appended here.
    std::vector<SentBatch>* sentBatches = nullptr;

private:
    friend class DeviceTexture;
    friend class DeviceVertexBuffer;
    explicit GraphicsDevice(Window& window);
    std::int32_t init(const PresentParameters& p);
    // One compiled variant of the stage's program and where its uniforms are.
    struct StageProgram {
        unsigned name = 0;  // 0: did not build; the general program stands in
        int pixelOffset = -1, alphaRef = -1;
    };
    static constexpr int kVariantTextureOnly = 1;              // both operations select the texture
    static constexpr int kVariantAlphaTest = 2;                // the alpha test can change the picture
    static constexpr int kVariantGeneral = kVariantAlphaTest;  // right for every state
    static constexpr int kVariantCount = 4;
    bool buildProgram();
    unsigned linkProgram(const char* vertexSource, const char* fragmentSource);
    bool buildStageProgram(int variant);
    // `variant`, or kVariantGeneral when it did not build.
    int availableVariant(int variant) const;
    void useStageProgram(int variant);
    bool buildBackBuffer(int width, int height);
    void releaseBackBuffer();
    // Draws straight into the window when its drawable is width x height and it can take
    // the frame as it is, else into the off-screen buffer (made when missing, dropped when
    // not needed); binds the target. False when the off-screen buffer cannot be made.
    bool chooseTarget(int width, int height);
    bool hasTarget() const { return direct || frameBuffer != 0; }
    unsigned targetFrameBuffer() const { return direct ? 0u : frameBuffer; }
    // Hands the frame's draws to the driver and shows the window's back buffer.
    void swapWindow();
    // The target's pixels, rows from the top, into `pixels` (back-buffer sized).
    void readTarget(std::vector<std::uint32_t>& pixels);
    // The frame presented straight into the window, as the window shows it (back-buffer
    // sized); false when it cannot be read.
    bool readShownFrame(std::vector<std::uint32_t>& pixels);
    // Copies between the target's viewport and `texture` through the scratch frame
    // buffer, turning the rows over when the window and the texture store them opposite.
    void blitViewport(const DeviceTexture& texture, bool toTexture, int x, int y);
    // Room for `bytes` more in the stream of batch vertices: their offset there.
    std::size_t reserveBatchVertices(std::size_t bytes);
    std::int32_t applyWindowMode(const PresentParameters& p);
    void applyGLViewport();
    // Where present() puts the back buffer in a drawable of dw x dh pixels (OpenGL rows).
    void presentRect(int dw, int dh, int& x0, int& y0, int& x1, int& y1) const;
    // Where present() puts the back buffer in the window's drawable, rows from the top.
    struct PresentArea {
        float left, top, width, height;
    };
    PresentArea presentArea() const;
    // Whether the current states give every drawn pixel full alpha.
    bool drawIsOpaque() const;
    void applyBlend(bool enabled);
    bool copyViewport(const DeviceTexture& texture, bool toTexture);
    // Adds `count` vertices of the stream from `first`, drawn as `type`, to the gathered
    // draws, sending those first when this draw cannot join them.
    void gather(PrimitiveType type, int first, int count);
    // Brings worldViewProjection up to date with the transforms.
    void updateTransforms();
    // A draw of `type` as the current states make it.
    DrawBatcher::Draw describeDraw(PrimitiveType type) const;
    // Sends the gathered draws to OpenGL (after the clear they follow).
    void flushBatch();
    // Program, uniforms, texture, sampler and blending for the gathered draws.
    void applyBatchState(const DrawBatcher::State& batch);
    void emitClear();
    // Sends everything waiting: the clear and the gathered draws.
    void settle();
    void flushIfUsing(const DeviceTexture* t) {
        if (batcher.uses(t)) flushBatch();
    }
    void forget(DeviceTexture* t) { textures.erase(t); }
    void forget(DeviceVertexBuffer* b) { buffers.erase(b); }

    Window& window;
    void* glContext = nullptr;  // the SDL OpenGL context
    PresentParameters parameters;
    bool lost = false;  // a reset failed: nothing is drawn until one succeeds
    std::string error;

    StageProgram stagePrograms[kVariantCount];  // by variant bits
    int currentVariant = -1;                    // the variant in use; -1 after another program ran
    unsigned sampler = 0, whiteTexture = 0;
    unsigned nearestSampler = 0;                          // for draws that hit texel centres, whatever the filter
    unsigned presentProgram = 0, presentVertexArray = 0;  // draw the back buffer into the window
    unsigned frameBuffer = 0, colourBuffer = 0;           // the off-screen back buffer
    unsigned copyFrameBuffer = 0;                         // holds a texture while it is copied to or from the window
    unsigned batchVertexArray = 0, batchBuffer = 0;       // the gathered draws' vertices
    // The batches' vertices go one after the other into one buffer, which is renewed only
    // when full: a fresh store for every batch would cost an allocation each.
    std::size_t batchCapacity = 0, batchUsed = 0;  // bytes
    int maxTexture = 0;
    int maxBackBuffer[2] = {0, 0};  // width, height
    bool canCopyImages = false;
    bool windowSingleSampled = false;  // the window can be drawn into as the back buffer
    bool windowDoubleBuffered = true;  // else its one buffer is the one shown, also after a swap
    bool direct = false;               // this frame is drawn straight into the window
    // The window's surface size at the last swap: a driver may take a new size only then,
    // so a frame is drawn straight into the window only once a swap has been made at its
    // present size.
    int swappedWidth = 0, swappedHeight = 0;
    bool framePresented = false;                // direct: swapped, nothing drawn since
    std::vector<std::uint32_t> presentedFrame;  // see keepPresentedFrames

    DeviceViewport viewport;
    DeviceMatrix transforms[3];
    bool transformDirty = true;
    DeviceMatrix viewProjection;  // view x projection, kept while neither changes
    DeviceMatrix worldViewProjection;
    bool viewProjectionDirty = true;
    bool blend = true, alphaTest = false, linearFilter = true;
    int alphaRef = 0;
    TextureOp colorOp = TextureOp::kModulate, alphaOp = TextureOp::kModulate;
    std::uint32_t factor = 0xFFFFFFFFu;
    const DeviceVertexBuffer* stream = nullptr;
    const DeviceTexture* boundDeviceTexture = nullptr;  // the draws' texture; null: the white one

    // What OpenGL has now, so that unchanged state is not sent again.
    bool glBlend = true;
    unsigned boundTexture = 0, boundSampler = 0;
    bool pixelOffsetDirty = true;  // for the program in use

    DrawBatcher batcher;        // the draws not yet sent
    bool clearPending = false;  // a clear of clearRect to clearColour not yet sent
    DeviceViewport clearRect;
    std::uint32_t clearColour = 0;

    std::set<DeviceTexture*> textures;      // live textures, told when the device goes
    std::set<DeviceVertexBuffer*> buffers;  // live vertex buffers, likewise
};
