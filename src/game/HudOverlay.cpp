#include "game/HudOverlay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/VirtualScreen.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"
#include "inputaudio/QorInput.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/Easing.h"
#include "render/FontQuad.h"
#include "render/Quad.h"
#include "render/TextLayout.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/QuadFraction.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalfWidth = static_cast<float>(kVirtualScreenWidth) / 2.0f;
constexpr float kHalfHeight = static_cast<float>(kVirtualScreenHeight) / 2.0f;
constexpr float kTouchButtonInset = 30.0f;  // units from the top (and right) screen edge
constexpr float kButtonX = 20.0f;           // labels stand this far outward of the HUD's x
constexpr float kButtonTop = 23.0f;         // units below the HUD's y for the first label
constexpr float kScoreX = 94.0f;            // units outward of the HUD's x where the score ends
constexpr float kBarX = 30.0f;              // units inward of the HUD's x where the bars start
constexpr float kHealthBarY = 9.0f;         // units below the HUD's y
constexpr float kBlasterBarY = 22.0f;       // units below the HUD's y
constexpr float kBarPulse = 8.0f;           // radians per second of the boosted bars' pulse
constexpr float kEdgeArrowX = 272.0f;       // half axes of the ellipse the edge arrow runs on
constexpr float kEdgeArrowY = 192.0f;
constexpr float kIconY = 16.0f;  // units above the bottom edge
constexpr int kScoreFlagsLeft = TextFlags::kNoCache | 0x02;
constexpr int kScoreFlagsRight = TextFlags::kNoCache | TextFlags::kRight;
constexpr UColor kWhite = 0xFFFFFFFFu;
constexpr UColor kBarColour = 0xFFFF0000u;
constexpr UColor kBoostedColour = 0xFFFFFF00u;

// Every controller builds its HUDs, also where no pictures are loaded (the class
// registry's checks, the tools): a missing skin draws nothing.
Skin* skin(const char16_t* name) { return dynamic_cast<Skin*>(qor->resources().find(false, name)); }

// a + (b - a) x (1 - (1 - t)^2): quick at first, settling gently.
float easeOut(float a, float b, float t) { return a + (b - a) * (1.0f - (1.0f - t) * (1.0f - t)); }

// The box a renderable's skin covers, for one neither turned nor scaled.
ViewRect boxOf(const Renderable& r) {
    const Vector3 c = r.position + r.pSkin->centre - r.pSkin->origin;
    const float w = r.pSkin->width / 2.0f, h = r.pSkin->height / 2.0f;
    return ViewRect{c.x - w, c.y + h, c.x + w, c.y - h};
}

float fractionOf(float value, float full) { return full > 0.0f ? std::clamp(value / full, 0.0f, 1.0f) : 0.0f; }
}  // namespace

HudOverlay::HudOverlay(int side_) : side(side_) {
    pSkin = skin(u"ovalButtons:0");
    rotation = Vector3{0.0f, static_cast<float>(side) * kPi, 0.0f};
    touchButton.pSkin = skin(u"hud-touchscreen:1");
    touchButton.bHasInvXform = 1;  // the game asks whether a touch lies on it
    position = Vector3{outward() * (kHalfWidth + kOutside), kHalfHeight, 0.0f};
    updateXform();
    placeTouchButton();
}

Vehicle* HudOverlay::vehicle() const {
    const GameController* game = GameFx::currentGame();
    const PlayerData* player = game ? game->getPlayerData(side) : nullptr;
    return player ? player->pVehicle.get() : nullptr;
}

void HudOverlay::tick(double, double dt) {
    placeTouchButton();
    slide = std::clamp(slide + static_cast<float>(bHidden ? -dt : dt), 0.0f, 1.0f);
    const Vector3 out{outward() * (kHalfWidth + kOutside), kHalfHeight, 0.0f};
    const Vector3 in{outward() * (kHalfWidth - kInside), kHalfHeight, 0.0f};
    easeCurve(position, out, in, slide, kEaseOutQuad);
    updateXform();
    countScore(dt);
    panelAnim = std::min(panelAnim + static_cast<float>(dt), 1.0f);
    panelWidth = easeOut(panelFrom, panelTo, panelAnim);
    advanceButtons(dt);
}

void HudOverlay::placeTouchButton() {
    const GameController* game = GameFx::currentGame();
    const float x = game && game->playerSides == 2 ? 0.0f : kHalfWidth - kTouchButtonInset;
    touchButton.position = Vector3{x, kHalfHeight - kTouchButtonInset, 0.0f};
    touchButton.updateXform();
}

// A new score restarts the count-up from the value shown at that moment, so the digits
// never jump back.
void HudOverlay::countScore(double dt) {
    scoreAnim = std::min(scoreAnim + 2.0f * static_cast<float>(dt), 1.0f);
    const GameController* game = GameFx::currentGame();
    const PlayerData* player = game ? game->getPlayerData(side) : nullptr;
    const std::int32_t score = player ? player->getScore() : 0;
    if (score != scoreTarget) {
        scoreFrom = shownScore;
        scoreTarget = score;
        scoreAnim = 0.0f;
    }
    const float f = 1.0f - (1.0f - scoreAnim) * (1.0f - scoreAnim);
    shownScore = scoreFrom + static_cast<std::int32_t>(static_cast<float>(scoreTarget - scoreFrom) * f);
}

// The oldest label stays kButtonShowTime, then moves up until the queue's offset reaches
// 0 and goes; the next one then waits its own time from an offset one label lower.
void HudOverlay::advanceButtons(double dt) {
    if (!firstChild) return;
    buttonTimer += dt;
    if (buttonTimer > kButtonShowTime) {
        buttonOffset += kButtonLeaveSpeed * static_cast<float>(dt);
        if (buttonOffset >= 0.0f) {
            static_cast<QorBase*>(firstChild)->destroy();
            buttonOffset = -kButtonSpacing;
            buttonTimer = 0.0;
        }
    }
    int k = 0;
    for (BasicLink* c = firstChild; c && k < kShownButtons; c = c->next, ++k) {
        auto* label = static_cast<QorBase*>(c);
        if (auto* button = dynamic_cast<WeaponButton*>(label))
            button->restPosition =
                Vector3{position.x + 40.0f * static_cast<float>(side) - kButtonX,
                        position.y + buttonOffset - kButtonTop - kButtonSpacing * static_cast<float>(k), 0.0f};
        label->tick(0.0, dt);
    }
}

void HudOverlay::trackIconCount(int icons) {
    const int n = std::min(icons, kPanelIcons);
    if (n == iconCount) return;
    panelFrom = panelWidth;
    panelTo = n > 0 ? kIconSpacing * static_cast<float>(n) + kIconSpacing : 0.0f;
    panelAnim = 0.0f;
    iconCount = n;
}

void HudOverlay::render() {
    Vehicle* v = vehicle();
    const bool operational = v && v->isOperational();
    if (showsMouseArrow()) drawMouseArrow(*v);
    if (operational && bShowOffscreenArrow && !v->bVisible) drawEdgeArrow(*v);
    drawButtons();
    Renderable::render();
    drawScore();
    if (v) {
        drawBar(0, fractionOf(v->health, v->fullHealth), kHealthBarY, v->defenceFactor != 1.0f);
        drawBar(1, fractionOf(v->energy, v->energyCap), kBlasterBarY, v->energyCap > 1.0f);
        drawBonusPanel(*v);
    }
    if (showsTouchButton()) touchButton.render();
}

// What the player sees of the plate ends well above its skin's box: measured against the
// box, the labels would stand half under a bar that already hides the plate whole for
// most of the bar's way down. Turned about y, side 1's plate keeps its rows.
bool HudOverlay::plateHidden() const {
    return pSkin && position.y - kPlateDepth >= kHalfHeight - InGameOverlay::barSizeOverGame();
}

bool HudOverlay::showsTouchButton() const {
    return side == 0 && !bHidden && qor->input().inputMode == QorInput::kModeTouch;
}

// The arrow is the pointer of a side that aims with the mouse, so it shows only while its
// game is being played: not in a scene whose cannons neither aim nor fire (the intro, the
// results), and not under a panel over the game (a tip, the pause menu), which holds the
// game still and shows its own pointer or none.
bool HudOverlay::showsMouseArrow() const {
    Vehicle* v = vehicle();
    const GameController* game = GameFx::currentGame();
    const PlayerData* player = game ? game->getPlayerData(side) : nullptr;
    if (!v || !v->bControlsEnabled || !v->isOperational()) return false;
    if (qor->input().inputMode != QorInput::kModeMouse || !player || !player->bPointerControl) return false;
    return global && global->pContextManager && global->pContextManager->top() == game;
}

void HudOverlay::drawMouseArrow(Vehicle& v) {
    Renderable arrow;
    arrow.pSkin = skin(u"mouseArrow:0");
    if (!arrow.pSkin) return;
    arrow.position = qor->pCurrentContext ? qor->pCurrentContext->pointer : Vector3{0.0f, 0.0f, 0.0f};
    arrow.rotation = Vector3{0.0f, 0.0f, v.aimAngle};
    arrow.updateXform();
    arrow.render();
}

// The arrow runs on an ellipse inside the screen edge, in the direction of the vehicle
// as seen from the scene camera, and carries the vehicle's icon.
void HudOverlay::drawEdgeArrow(Vehicle& v) {
    const GameController* game = GameFx::currentGame();
    if (!game) return;
    const Vector3& camera = game->pScene->pCamera->position;
    const float a = std::atan2(camera.y - v.position.y, camera.x - v.position.x) + kPi;
    Renderable arrow;
    arrow.pSkin = skin(u"ovalButtons:1");
    arrow.position = Vector3{kEdgeArrowX * std::cos(a), kEdgeArrowY * std::sin(a), 0.0f};
    arrow.rotation = Vector3{0.0f, 0.0f, a};
    arrow.updateXform();
    arrow.render();
    v.drawIcon(arrow.position.x, arrow.position.y, arrow.position.z);
}

void HudOverlay::drawButtons() {
    if (plateHidden()) return;
    int k = 0;
    for (BasicLink* c = firstChild; c && k < kShownButtons; c = c->next, ++k) static_cast<QorBase*>(c)->render();
}

std::u16string HudOverlay::scoreText() const { return formatWithThousandsSeparator(std::max(shownScore, 0)); }

void HudOverlay::drawScore() {
    FontQuad* font = global ? global->fonts[Global::kFontHUD] : nullptr;
    if (!font) return;
    const float x = position.x + outward() * kScoreX;
    font->drawTextAt(x, position.y, position.z, kWhite, side == 0 ? kScoreFlagsLeft : kScoreFlagsRight, scoreText());
}

// The score's line hangs down from the HUD's y and runs inward from its outer end; the
// labels shown carry their text on their plates.
void HudOverlay::addBoxesToKeepClear(std::vector<ViewRect>& boxes) const {
    if (FontQuad* font = global ? global->fonts[Global::kFontHUD] : nullptr) {
        const TextSizeF size = font->measureText(false, nullptr, 0, scoreText());
        const float end = position.x + outward() * kScoreX;
        const float start = end - outward() * size.width;
        boxes.push_back(ViewRect{std::min(start, end), position.y, std::max(start, end), position.y - size.height});
    }
    int k = 0;
    if (!plateHidden())
        for (const BasicLink* c = firstChild; c && k < kShownButtons; c = c->next, ++k)
            if (auto* label = dynamic_cast<const Renderable*>(static_cast<const QorBase*>(c)); label && label->pSkin)
                boxes.push_back(boxOf(*label));
    if (showsTouchButton() && touchButton.pSkin) boxes.push_back(boxOf(touchButton));
}

// The bar is the left `fraction` of its picture, turned with the HUD, so that side 1's
// bar, mirrored, shrinks toward its own screen edge. It pulses toward yellow while a
// bonus boosts what it shows.
void HudOverlay::drawBar(int skinIndex, float fraction, float y, bool boosted) {
    const auto* source = dynamic_cast<const Quad*>(skin(skinIndex == 0 ? u"hud-energybar:0" : u"hud-energybar:1"));
    if (!source) return;
    Quad bar;
    copyQuadFraction(*source, bar, fraction);
    const float pulse = 0.5f + 0.5f * std::sin(kBarPulse * static_cast<float>(qor->pCurrentContext->localTime));
    Renderable pen;
    pen.pSkin = &bar;
    pen.color = lerpColor(kBarColour, boosted ? kBoostedColour : kBarColour, pulse);
    pen.position = Vector3{position.x + kBarX - 60.0f * static_cast<float>(side), position.y - y, position.z};
    pen.rotation = rotation;
    pen.updateXform();
    pen.render();
}

// The panel slides out of the bottom corner by panelWidth; the icons stand on it from
// the screen edge inward.
void HudOverlay::drawBonusPanel(Vehicle& v) {
    const float s = outward();
    Renderable panel;
    panel.pSkin = pSkin;
    panel.position = Vector3{s * (kHalfWidth + kOutside) - s * panelWidth, -kHalfHeight, 0.0f};
    panel.updateXform();
    panel.render();
    int k = 0;
    for (BasicLink* c = v.bonusIcons.firstChild; c; c = c->next, ++k) {
        auto* icon = dynamic_cast<Renderable*>(static_cast<QorBase*>(c));
        if (!icon) continue;
        icon->position =
            Vector3{panel.position.x + kIconSpacing * s * static_cast<float>(k - 4), -kHalfHeight + kIconY, 0.0f};
        icon->updateXform();
        icon->render();
    }
    trackIconCount(k);
}
