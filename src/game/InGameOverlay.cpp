#include "game/InGameOverlay.h"

#include <algorithm>

#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "render/QorGraphics.h"
#include "render/VertexBuffer.h"
#include "ui/ContextManager.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"

namespace {
constexpr UColor kBarColour = 0xFF000000u;
constexpr int kSideMargin = 20;  // virtual pixels kept free left and right of a line

int virtualWidth() { return kVirtualScreenWidth; }
int virtualHeight() { return kVirtualScreenHeight; }
}  // namespace

InGameOverlay::InGameOverlay() : pContent(new QorBase()) {
    bDeleteOnClose = 1;
    bCloseOnEscape = 0;
    bShowPointer = 0;
    setState(kOpening);
}

InGameOverlay::~InGameOverlay() {
    if (!pContent->parent) pContent->destroy();
}

float InGameOverlay::easeOutQuad(float a, float b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return a + (b - a) * (1.0f - (1.0f - t) * (1.0f - t));
}

float InGameOverlay::barSizeOverGame() {
    const ContextManager* stack = global ? global->pContextManager : nullptr;
    const auto* panel = stack ? dynamic_cast<const InGameOverlay*>(stack->top()) : nullptr;
    return panel ? panel->barSize : kBarHidden;
}

void InGameOverlay::onStateChanged() {
    switch (state) {
        case kOpening:
            setState(kShown, kOpenTime);
            break;
        case kClosing:
            pContent->deleteChildren();
            setState(kClosed, kOpenTime);
            break;
        case kClosed:
            bFinished = 1;
            break;
        default:
            break;
    }
}

FadingText* InGameOverlay::addLine(std::u16string text, int fontIndex, float y) {
    auto* line = new FadingText(0.0f, y, 0.0f, std::move(text), MenuFonts::get(fontIndex), kLineColour);
    line->fitToWidth(virtualWidth() - 2 * kSideMargin);
    pContent->addChild(line);
    return line;
}

void InGameOverlay::tickContents(double time, double dt) {
    Context::tickContents(time, dt);
    // The lines come in once the bars are well on their way, not with the first frame.
    if (time >= kOpenTime && time - dt < kOpenTime && !pContent->parent) addChild(pContent);
    animate();
}

void InGameOverlay::animate() {
    const float p = static_cast<float>(timeInState / kOpenTime);
    switch (state) {
        case kOpening: {
            const float e = easeOutQuad(0.0f, 1.0f, p);
            barSize = kBarHidden + (kBarShown - kBarHidden) * e;
            setPanelAlpha(static_cast<int>(kPanelAlpha * e));
            break;
        }
        case kShown:
            // The tick that ends the opening switches the state before this runs: the
            // bars are full from that frame on, whatever share of the opening's last
            // step the frames left undrawn.
            barSize = kBarShown;
            setPanelAlpha(kPanelAlpha);
            if (dismissPressed()) setState(kClosing);
            break;
        case kClosing:
            barSize = easeOutQuad(kBarHidden, kBarShown, 1.0f - p);
            setPanelAlpha(static_cast<int>(kPanelAlpha * (1.0f - p)));
            break;
        default:
            break;
    }
}

bool InGameOverlay::dismissPressed() const {
    const QorInput* input = &qor->input();
    if (input->anyTouchPressed()) return true;
    if (!global) return false;
    const auto& keys = global->configuration.keys[GameConfiguration::kKeyFire];
    return input->wasPressed(keys[0]) || input->wasPressed(keys[1]);
}

void InGameOverlay::setPanelAlpha(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    panelColour = (panelColour & 0x00FFFFFFu) | static_cast<UColor>(alpha) << 24;
}

void InGameOverlay::renderContents() {
    // A panel about a game that is no longer there has nothing to say.
    if (!GameFx::currentGame()) return;
    drawGameBeneath();
    const float w = static_cast<float>(virtualWidth()) / 2.0f;
    const float h = static_cast<float>(virtualHeight()) / 2.0f;
    const float panel[4] = {-w, h, w, -h};
    drawFilledRect(panel, panelColour);
    if (barSize > 0.0f) {
        const float top[4] = {-w, h, w, h - barSize};
        const float bottom[4] = {-w, -h + barSize, w, -h};
        drawFilledRect(top, kBarColour);
        drawFilledRect(bottom, kBarColour);
    }
    // The lines, drawn as a context draws its contents.
    Context::renderContents();
}

// The screen stack draws only its top screen; the game must show through the panel.
void InGameOverlay::drawGameBeneath() { GameFx::currentGame()->renderContents(); }

// What the black bars cover wholly is hidden and needs no room.
void InGameOverlay::addBoxesToKeepClear(std::vector<ViewRect>& boxes) const {
    const GameController* game = GameFx::currentGame();
    if (!game) return;
    std::vector<ViewRect> shown;
    game->addBoxesToKeepClear(shown);
    const float h = static_cast<float>(virtualHeight()) / 2.0f;
    for (const ViewRect& box : shown)
        if (box.bottom < h - barSize && box.top > -h + barSize) boxes.push_back(box);
}
