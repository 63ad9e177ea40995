#include "runtime/FrameOverlays.h"

#include <string>
#include <vector>

#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/FontGDI.h"
#include "render/QorGraphics.h"
#include "render/VertexBuffer.h"
#include "runtime/Console.h"

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;
constexpr int kRings = Qor::kStatisticsFrames;
constexpr double kMegabyte = 1.0 / 1048576.0;

struct TextPen {
    float x, y;
    FontGDI& font;
    void line(const std::u16string& text) {
        font.drawTextAt(x, y, 0.0f, kWhite, 0, text);
        y -= static_cast<float>(font.height);
    }
};

int ms(double seconds) { return static_cast<int>(seconds * 1000.0); }

int ringAt(int ring, int framesBack) {
    const int i = ((qor->frameCounter - framesBack) % kRings + kRings) % kRings;
    return qor->statistics[static_cast<std::size_t>(ring)][static_cast<std::size_t>(i)];
}

void frameRateLine(TextPen& pen, const FramePhases& p) {
    const double average = qor->frameCounter > 0 ? qor->totalFrameTime * 1000.0 / qor->frameCounter : 0.0;
    const double audio = qor->audio().getCPU();
    pen.line(formatString(u"frame: fps=%.1lf(forced=%.1lf), avg=%.1lfms, accuracy=%.1lfms, audio=%.2lf%%",
                          p.unpacedRate, qor->fps, average, qor->timer.accuracy * 1000.0, audio));
}

void inputLines(TextPen& pen) {
    QorInput* in = qor->pQorInput;
    if (!in) return;
    pen.line(formatString(u"inputMode %d. mouse: %.3lf,%.3lf,%.3lf", in->inputMode,
                          static_cast<double>(in->pointerPosition.x), static_cast<double>(in->pointerPosition.y),
                          static_cast<double>(in->pointerPosition.z)));
    for (int i = 0; i < QorInput::kMouseButtonCount; ++i) {
        const TouchPoint* t = in->getTouch(i);
        const bool now = in->mouseButtonState[static_cast<std::size_t>(i)];
        const bool before = in->previousMouseButtonState[static_cast<std::size_t>(i)];
        pen.line(formatString(u"button: %s %s %s | %s %s %s", t && t->bHeld ? u"DOWN" : u"",
                              t && t->bPressed ? u"PRESSED" : u"", t && t->bReleased ? u"UP" : u"",
                              now ? u"MDOWN" : u"", now && !before ? u"MPRESSED" : u"", !now && before ? u"MUP" : u""));
    }
    for (int j = 0; j < QorInput::kMaxJoysticks; ++j) {
        const Vector3 axes = in->getJoystickAxes(j), hat = in->getJoystickHat(j);
        std::u16string buttons = u"buttonPresses: ";
        for (int b = 0; b < QorInput::kJoystickButtons; ++b) {
            const int code =
                QorInput::kJoystickBase + QorInput::kJoystickCodes * j + QorInput::kJoystickButtonOffset + b;
            if (in->keyState[static_cast<std::size_t>(code)] & QorInput::kDown) buttons += formatString(u"%d ", b);
        }
        pen.line(formatString(u"joystick %d: analogue=(%.3lf,%.3lf) pad=(%.3lf,%.3lf) %s", j,
                              static_cast<double>(axes.x), static_cast<double>(axes.y), static_cast<double>(hat.x),
                              static_cast<double>(hat.y), buttons));
    }
    int n = 0;
    for (BasicLink* node = in->contactList.firstChild; node; node = node->next, ++n) {
        const auto* t = static_cast<const TouchPoint*>(node);
        // Contacts carry no usage count in this input service; it reads 0.
        pen.line(formatString(u"touch:%d tag:%08x state:%d pos:%.1lf, %.1lf %s usage:%d handled:%x", n, t->tag,
                              t->state, static_cast<double>(t->pos.x), static_cast<double>(t->pos.y),
                              t->bMoved ? u"DRAG" : u"", 0,
                              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(t->handled))));
    }
}

void detailLines(TextPen& pen, const FramePhases& p, const FrameCounters& c) {
    pen.line(formatString(u"global clock: %.3lf , delta %.3lf", qor->timer.frameStart, qor->getDeltaTime()));
    pen.line(formatString(
        u"tick(%2dms), console(%2dms), render(%2dms), hud(%2dms), present(%2dms), timerwait(%2dms), misc(%2dms)",
        ms(p.sceneDone - p.consoleDone), ms(p.consoleDone - p.tickStart), ms(p.drawingDone - p.sceneDone),
        ms(p.overlayTime), ms(p.presentDone - p.overlaysDone), ms(p.waitDone - p.presentDone),
        ms(p.frameStart - p.waitDone)));
    pen.line(
        formatString(u"%d/%d renderables, %d vertices, %d vbuffer writes, %d update visuals, %d invXforms, "
                     u"%d collisions",
                     c.renderablesVisible, c.renderablesVisited, c.vertices, c.vertexBufferWrites, c.visualUpdates,
                     c.inverseTransforms, c.collisions));
    const int i = qor->frameCounter % kRings;
    pen.line(formatString(
        u"resident: %dK textures (%d used: %dK), %dK memoryimagefiles, %dK sounds, %dK streams, "
        u"%dK memoryfiles.",
        qor->statistics[1][static_cast<std::size_t>(i)] / 1024, c.texturesUsed,
        static_cast<int>(static_cast<long long>(c.texelsUsed) * 4 / 1024),
        qor->statistics[2][static_cast<std::size_t>(i)] / 1024, qor->statistics[3][static_cast<std::size_t>(i)] / 1024,
        qor->statistics[4][static_cast<std::size_t>(i)] / 1024, memoryFileBytes / 1024));
    inputLines(pen);
}

void drawLine(const std::vector<Vertex>& points) {
    // Untextured lines take their colour from the factor; the text drawn before may
    // have left the stage selecting the (white) texture.
    GraphicsDevice& device = *qor->graphics().dxDevice;
    device.setColorOp(TextureOp::kModulate);
    device.setAlphaOp(TextureOp::kModulate);
    device.setTransform(TransformKind::kWorld, DeviceMatrix::identity());
    VertexBuffer strip(static_cast<int>(points.size()));
    for (std::size_t k = 0; k < points.size(); ++k) strip.vertexArray[k] = points[k];
    strip.upload();
    ++qor->counters.vertexBufferWrites;
    strip.draw(nullptr, VertexBuffer::kLineStrip, 0, -1);
}

void graphs(const ViewRect& view) {
    FontGDI& font = qor->defaultFont();
    std::vector<Vertex> points(kRings);
    for (int k = 0; k < kRings; ++k)
        points[static_cast<std::size_t>(k)] = Vertex{view.right - static_cast<float>(k),
                                                     view.bottom + static_cast<float>(ringAt(0, k)),
                                                     0.0f,
                                                     0xFFFF0000u,
                                                     0.0f,
                                                     0.0f};
    drawLine(points);
    font.drawTextAt(view.right, points[0].y, 0.0f, kWhite, 0x08,
                    formatString(u"%.0lfms", static_cast<double>(ringAt(0, 0))));
    const float period = static_cast<float>(qor->timer.period * 1000.0);
    drawLine({Vertex{view.right - kRings, view.bottom + period, 0.0f, 0x80FF0000u, 0.0f, 0.0f},
              Vertex{view.right, view.bottom + period, 0.0f, 0x80FF0000u, 0.0f, 0.0f}});

    // Stacked memory: textures, image files, streams, sounds; each series on the ones before.
    const int order[4] = {1, 2, 4, 3};
    const char16_t* names[4] = {u"tex", u"image", u"stream", u"sfx"};
    auto total = [&](int framesBack, int upTo) {
        double sum = 0.0;
        for (int s = 0; s <= upTo; ++s) sum += ringAt(order[s], framesBack);
        return sum * kMegabyte;
    };
    double scale = 16.0;
    while (scale > 1e-9 && view.bottom + total(0, 3) * scale > view.top) scale *= 0.5;
    for (int s = 0; s < 4; ++s) {
        const UColor colour = s == 3 ? 0xFF00FF00u : 0x8000FF00u;
        for (int k = 0; k < kRings; ++k)
            points[static_cast<std::size_t>(k)] = Vertex{view.right - static_cast<float>(k),
                                                         view.bottom + static_cast<float>(total(k, s) * scale),
                                                         0.0f,
                                                         colour,
                                                         0.0f,
                                                         0.0f};
        drawLine(points);
        font.drawTextAt(view.right, points[0].y, 0.0f, kWhite, 0x08,
                        formatString(u"%s %.1lf", names[s], ringAt(order[s], 0) * kMegabyte));
        if (s == 3)
            font.drawTextAt(view.right, points[0].y + static_cast<float>(font.height), 0.0f, kWhite, 0x08,
                            formatString(u"%.1lfMB", total(0, 3)));
    }
}
}  // namespace

void FrameOverlays::draw(const FramePhases& phases, const FrameCounters& sceneCounters) {
    if (qor->bDebugLocked || qor->debugLevel == 0) return;
    const int level = qor->debugLevel;
    if (!(level & (kFrameRateLine | kDetailLines | kGraphs))) return;
    Camera* camera = qor->console().pCamera;
    if (!camera) return;
    camera->render();
    const ViewRect view = camera->getViewRect(0.0f);
    TextPen pen{view.left, view.top, qor->defaultFont()};
    if (level & kFrameRateLine) frameRateLine(pen, phases);
    if (level & kDetailLines) detailLines(pen, phases, sceneCounters);
    if (level & kGraphs) graphs(view);
}
