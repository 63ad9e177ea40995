#include "ui/ContextManager.h"

#include <utility>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "inputaudio/MouseDispatcher.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/FontQuad.h"
#include "render/QorGraphics.h"
#include "ui/ContextPopup.h"
#include "ui/FrameRatePlacement.h"
#include "ui/GameConfiguration.h"
#include "ui/Global.h"
#include "ui/IrisOverlay.h"
#include "ui/MousePointer.h"

QOR_DEFINE_CLASS(ContextManager, Context, nullptr)

namespace {
constexpr int kEscape = 1;
constexpr std::uint32_t kFrameRateColour = 0xFFFFFFFFu;
constexpr int kFrameRateLayout = 0x108;  // right-aligned, not cached
constexpr float kFrameRateInset = 2.0f;  // units from the top and right edges

void releaseCapture() { qor->mouseDispatcher().setCapture(nullptr); }

bool newlyPressed(int code) { return qor->input().wasPressed(code); }
}  // namespace

ContextManager::ContextManager()
    : frameRateWindowFrames(qor->frameCounter), frameRateWindowStart(qor->timer.frameStart) {
    pointerLayer = new Context();
    pMousePointer = new MousePointer();
    pointerLayer->BasicLink::addChild(pMousePointer);
    overlayLayer = new Context();
    pOverlay = new IrisOverlay();
    overlayLayer->BasicLink::addChild(pOverlay);
}

ContextManager::~ContextManager() {
    pointerLayer->destroy();
    overlayLayer->destroy();
    pointerLayer = overlayLayer = nullptr;
    pMousePointer = nullptr;
    pOverlay = nullptr;
    // Every screen's destructor runs, the top first, as if each had been closed in turn.
    while (Context* screen = top()) {
        removeChild(screen);
        screen->destroy();
    }
}

ClassInfo* ContextManager::getClass() const { return &classInfo; }

void ContextManager::addChild(Context* screen) {
    screen->bFinished = 0;
    BasicLink::addChild(screen);
}

QorBase* ContextManager::findNthHit(int& n) {
    Context* screen = top();
    return screen ? screen->findNthHit(n) : nullptr;
}

void ContextManager::tickContents(double time, double dt) {
    removeFinishedScreens();
    if (!top()) {
        bQuitRequested = 1;
        return;
    }
    activateTop();
    tickTop(time, dt);
    handleClosingKeys();
    // The popup answered inside its own tick above: the screen that asked goes.
    if (confirmResult == 0) {
        if (auto* asking = static_cast<Context*>(pTop->prev)) asking->bFinished = 1;
        confirmResult = -1;
    }
}

void ContextManager::removeFinishedScreens() {
    while (Context* screen = top()) {
        if (!screen->bFinished) break;
        removeChild(screen);
        screen->onDeactivate(true);
        releaseCapture();
        pActiveScreen.set(nullptr);
        if (screen->bDeleteOnClose) screen->destroy();
    }
}

void ContextManager::activateTop() {
    pTop = top();
    if (pTop == pActiveScreen.get()) return;
    if (auto* previous = static_cast<Context*>(pActiveScreen.get())) previous->onDeactivate(false);
    releaseCapture();
    const bool first = pTop->bFirstActivation != 0;
    pTop->onActivate(first);
    pTop->bFirstActivation = 0;
    pOverlay->target = 0.0f;
    pActiveScreen.set(pTop);
}

void ContextManager::tickTop(double time, double dt) {
    if (pTop->pPointer) pTop->pPointer->tick(time, dt);
    overlayLayer->tick(time, dt);
    pTop->tick(time, dt);
    // The shared pointer last: the top screen may move the pointer, and the system cursor
    // with it (a key that walks the menu, a screen it opens that parks the pointer), and
    // this frame draws the pointer over whatever screen is on top by then.
    pointerLayer->tick(time, dt);
}

void ContextManager::handleClosingKeys() {
    if (!pTop->bCloseOnEscape) return;
    if (newlyPressed(kEscape)) {
        if (pTop->bConfirmClose)
            askToConfirm();
        else
            pTop->bFinished = 1;
    }
    if (!pTop->bCloseOnFireKey || !global) return;
    const auto& keys = global->configuration.keys[GameConfiguration::kKeyFire];
    const bool touched = qor->input().anyTouchPressed();
    if (newlyPressed(keys[0]) || newlyPressed(keys[1]) || touched) pTop->bFinished = 1;
}

void ContextManager::askToConfirm() {
    auto* popup = new ContextPopup();
    if (const Language* language = qor->pLanguage) {
        popup->text = language->getString(StringId::CONFIRM);
        popup->firstButtonLabel = language->getString(StringId::YES);
        popup->secondButtonLabel = language->getString(StringId::NO);
    }
    popup->result = &confirmResult;
    popup->setup();
    addChild(popup);
}

void ContextManager::renderContents() {
    countFrames();  // also while the rate is hidden, so that it is current once shown
    Context* screen = top();
    if (!screen) return;
    // Under the closed iris the screen is not drawn: the frame would be the same black,
    // and what only that screen draws is then left unused, so a purge can release it.
    if (!pOverlay->coversScreen()) {
        screen->render();
        if (screen->bShowPointer && qor->windowActive) {
            if (screen->pPointer)
                screen->pPointer->render();
            else
                pointerLayer->render();
        }
    }
    overlayLayer->render();
    if (!screen->bHideFrameRate && global && global->configuration.bShowFps) drawFrameRate(*screen);
}

// The shown rate is the mean over a window of whole frames, timed between the frame
// starts the pacer booked: one short or long frame does not stand for the whole window,
// and the rate cannot read above the cap the pacer keeps, however the time spent
// drawing varies from frame to frame. While no frame runs (paused) it stands still.
void ContextManager::countFrames() {
    const int frames = qor->frameCounter - frameRateWindowFrames;
    const double seconds = qor->timer.frameStart - frameRateWindowStart;
    if (seconds >= 0.0 && seconds < kFrameRateRefresh) return;
    if (frames > 0 && seconds > 0.0) displayedFrameRate = static_cast<float>(frames / seconds);
    // The next window starts here; so does one whose start lies ahead (a new clock).
    frameRateWindowFrames = qor->frameCounter;
    frameRateWindowStart = qor->timer.frameStart;
}

// The rate stands in the top-right corner, unless the screen shows something there that
// it must not cover (the right side's score in a game): then it stands just below that.
void ContextManager::drawFrameRate(const Context& screen) {
    FontQuad* font = global->fonts[Global::kFontSmall];
    if (!font) return;
    const std::u16string text = formatString(u"%.1lf", static_cast<double>(displayedFrameRate));
    const TextSizeF size = font->measureText(false, nullptr, kFrameRateLayout, text);
    const QorGraphics& g = qor->graphics();
    const int centreX = g.virtualWidth / 2, centreY = g.virtualHeight / 2;  // whole units
    const float right = static_cast<float>(centreX) - kFrameRateInset;
    const float top = static_cast<float>(centreY) - kFrameRateInset;
    ViewRect box{right - size.width, top, right, top - size.height};
    std::vector<ViewRect> parts;
    screen.addBoxesToKeepClear(parts);
    FrameRatePlacement::lowerPast(box, std::move(parts));
    font->drawTextAt(right, box.top, 0.0f, kFrameRateColour, kFrameRateLayout, text);
}
