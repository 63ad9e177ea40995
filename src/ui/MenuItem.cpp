#include "ui/MenuItem.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/TextLayout.h"
#include "ui/ContextMenu.h"
#include "ui/MenuFonts.h"
#include "ui/MenuResources.h"
#include "ui/NineSliceFrame.h"
#include "ui/TextBacking.h"
#include "ui/TextFont.h"

QOR_DEFINE_CLASS(MenuItem, Renderable, nullptr)

ClassInfo* MenuItem::getClass() const { return &classInfo; }

namespace {
constexpr UColor kShadowColour = 0x40000000u;
constexpr int kCentred = TextFlags::kCentre | TextFlags::kMiddle;
constexpr int kHelpLineFlags = TextFlags::kCentre | TextFlags::kBottom;
// The help line's text stands this far above the screen's edge, so that its backing,
// padded as much below the text, ends on the edge.
constexpr float kHelpLineRaise = TextBacking::kPadY;
constexpr double kHighlightRate = 4.0;  // a full fade in a quarter of a second
constexpr float kPulseRate = 4.0f;

bool readsRightToLeft() { return qor->language().rightToLeft == 1; }

// The medium font unless the window is less than half the virtual screen wide.
TextFont* captionFont() {
    if (qor && qor->pQorGraphics && qor->graphics().viewportWidth > 0 &&
        qor->graphics().viewportWidth * 2 < qor->graphics().virtualWidth)
        return MenuFonts::get(MenuFonts::kSmall);
    return MenuFonts::get(MenuFonts::kMedium);
}

void destroySkin(Renderable& r) {
    if (r.pSkin && r.bOwnsSkin) r.pSkin->destroy();
    r.pSkin = nullptr;
}
}  // namespace

MenuItem::MenuItem(float x, float y, float z, std::u16string caption_, std::u16string helpText_)
    : captionLocation(ContextMenu::defaultCaptionLocation),
      caption(std::move(caption_)),
      helpText(std::move(helpText_)),
      pFont(captionFont()) {
    if (readsRightToLeft()) x = -x;
    position = Vector3{x, y, z};
    highlightFace.position = position;
    setFrames(u"gui-game-editbox", kFrameMargin, kFrameMargin, kFrameMargin, kFrameMargin);
    setWidth(256.0f);
}

MenuItem::~MenuItem() {
    destroySkin(*this);
    destroySkin(highlightFace);
}

void MenuItem::setFrames(const std::u16string& texture, int left, int top, int right, int bottom) {
    destroySkin(*this);
    destroySkin(highlightFace);
    auto face = [&](int skin) {
        auto* source =
            dynamic_cast<Quad*>(MenuResources::findSkin(texture + u":" + static_cast<char16_t>(u'0' + skin)));
        auto* frame = new NineSliceFrame(source);
        frame->setMargins(left, top, right, bottom);
        frame->buildVertices(frameWidth, -1.0f);
        return frame;
    };
    pSkin = face(0);
    bOwnsSkin = 1;
    highlightFace.pSkin = face(1);
    highlightFace.bOwnsSkin = 1;
    updateXform();
    highlightFace.updateXform();
}

void MenuItem::setWidth(float width) {
    frameWidth = width;
    for (Renderable* r : {static_cast<Renderable*>(this), &highlightFace})
        if (auto* frame = dynamic_cast<NineSliceFrame*>(r->pSkin)) frame->buildVertices(width, -1.0f);
    updateXform();
}

float MenuItem::getFrameWidth() const { return pSkin ? pSkin->width : frameWidth; }
float MenuItem::getFrameHeight() const { return pSkin ? pSkin->height : 0.0f; }

float MenuItem::getTextFitScale(const std::u16string& text, float room) const {
    const float width = pFont ? pFont->measureText(text).x : 0.0f;
    return room > 10.0f && width > room ? room / width : 1.0f;
}

Vector3 MenuItem::toScreen(const Vector3& world) const {
    for (BasicLink* p = parent; p; p = p->parent)
        if (auto* menu = dynamic_cast<ContextMenu*>(static_cast<QorBase*>(p))) return menu->worldToScreen(world);
    return world;
}

Vector3 MenuItem::getNavigationPoint(int i) {
    if (i != 0) return kNoPoint;
    return toScreen(Vector3{position.x, position.y - getFrameHeight() * 0.25f, position.z});
}

void MenuItem::drawValue(float, float, float) {}

void MenuItem::onClick() {
    bTriggered = 1;
    MenuResources::playSound(u"mouseClick");
}

bool MenuItem::takeTrigger() {
    const bool triggered = bTriggered != 0;
    bTriggered = 0;
    return triggered;
}

bool MenuItem::isPointerPressOnItem() const { return bHovered && !bDisabled && qor->input().anyTouchPressed(); }

bool MenuItem::isUnderPointer() {
    const Context* context = qor->pCurrentContext;
    const Vector3 pointer = context ? context->pointer : Vector3{0.0f, 0.0f, 0.0f};
    return pSkin && pSkin->isInside((pointer - position) * (1.0f / baseScale));
}

void MenuItem::tick(double time, double dt) {
    QorBase::tick(time, dt);
    bHovered = isUnderPointer() || bForceHighlight;
    const QorInput* in = &qor->input();
    if (in && in->inputMode == QorInput::kModeTouch)
        highlight = bHovered && in->isTouchHeld(0) ? 1.0 : 0.0;
    else
        highlight += (bHovered ? kHighlightRate : -kHighlightRate) * dt;
    highlight = std::clamp(highlight, 0.0, 1.0);
    pulse = std::max(0.0f, pulse - kPulseRate * static_cast<float>(dt));
    if (isPointerPressOnItem()) pulse = 1.0f;
    const float f = 1.0f + 0.15f * pulse * std::sin(-2.0f * std::numbers::pi_v<float> * pulse);
    if (scale.x != baseScale * f || scale.y != baseScale / f) {
        scale = Vector3{baseScale * f, baseScale / f, 1.0f};
        updateXform();
    }
    captionColour =
        bDisabled ? disabledColour : lerpColor(normalColour, highlightColour, static_cast<float>(highlight));
}

void MenuItem::render() {
    if (bHidden) return;
    if (bShadow && TextFont::textShadowsOn()) {
        const Vector3 at = position;
        const UColor colour = color;
        position = Vector3{at.x + kShadowOffset, at.y - kShadowOffset, at.z};
        color = kShadowColour;
        updateXform();
        Renderable::render();
        position = at;
        color = colour;
        updateXform();
    }
    Renderable::render();
    if (!bDisabled && highlight > 0.0) {
        highlightFace.position = position;
        highlightFace.rotation = rotation;
        highlightFace.scale = scale;
        highlightFace.color = (highlightFace.color & 0x00FFFFFFu) | static_cast<UColor>(highlight * 255.0) << 24;
        highlightFace.updateXform();
        highlightFace.render();
    }
    drawValue(position.x, position.y, position.z);
    drawCaption();
}

float MenuItem::getLowestY() const {
    return position.y - getFrameHeight() * baseScale * 0.5f - (bShadow ? kShadowOffset : 0.0f);
}

float MenuItem::getHighestY() const {
    const float frameTop = position.y + getFrameHeight() * baseScale * 0.5f;
    if (!pFont || caption.empty() || captionLocation == kCaptionInside) return frameTop;
    const float line = static_cast<float>(pFont->getLineHeight()) * baseScale;
    if (captionLocation == kCaptionAbove) return frameTop + 5.0f * baseScale + line;
    return std::max(frameTop, position.y + line * 0.5f);  // centred on the item's middle
}

// The fonts draw a line as it comes, a "|" included, so the line is one line high
// whatever its text.
float MenuItem::getHelpLineHeight() {
    const TextFont* small = MenuFonts::get(MenuFonts::kSmall);
    return small ? kHelpLineRaise + static_cast<float>(small->getLineHeight()) + TextBacking::kPadY : 0.0f;
}

void MenuItem::drawHelpLine(float bottom) {
    TextFont* small = MenuFonts::get(MenuFonts::kSmall);
    const std::u16string& line = bDisabled ? disabledText : helpText;
    if (!small || line.empty()) return;
    const Vector3 at{0.0f, bottom + kHelpLineRaise, 0.0f};
    TextBacking::draw(*small, at, Vector3{1.0f, 1.0f, 1.0f}, kHelpLineFlags, line, TextBacking::kColour);
    small->drawTextWithShadowAt(at, 0xFFFFFFFFu, kHelpLineFlags, line, 0x80000000u, Vector3{0.0f, -1.0f, 0.0f});
}

void MenuItem::drawValueText(const std::u16string& text, float x, float y, float z, float fit) {
    if (!pFont) return;
    Renderable pen;
    pen.position = Vector3{x, y, z};
    pen.rotation = rotation;
    pen.scale = scale * fit;
    pen.color = captionColour;
    pen.updateXform();
    if (bShadow)
        pFont->drawTextWithShadow(pen, kCentred, text, kShadowColour, Vector3{2.0f, -2.0f, 0.0f});
    else
        pFont->drawText(pen, kCentred, text);
}

void MenuItem::drawCaption() {
    Vector3 offset{0.0f, 0.0f, 0.0f};
    int flags = 0;
    float fit = 1.0f;
    const float w = getFrameWidth();
    const float h = getFrameHeight();
    switch (captionLocation) {
        case kCaptionLeft:
            offset = {-(w * 0.5f) - 5.0f, 0.0f, 0.0f};
            flags = 0x18;
            break;
        case kCaptionInside:
            flags = kCentred;
            fit = getTextFitScale(caption, std::trunc(w - h));
            break;
        case kCaptionRight:
            offset = {w * 0.5f + 5.0f, 0.0f, 0.0f};
            flags = 0x12;
            break;
        case kCaptionAbove:
            offset = {0.0f, h * 0.5f + 5.0f, 0.0f};
            flags = 0x24;
            break;
        default:
            QOR_FATAL("MenuItem::render", u"Invalid caption location.");
    }
    if (!pFont || caption.empty()) return;
    Renderable pen;
    pen.position = local2world(offset);
    pen.rotation = rotation;
    pen.scale = Vector3{scale.x * fit, scale.y * fit, scale.z};
    pen.color = captionColour;
    pen.updateXform();
    if (bShadow && !bDisabled)
        pFont->drawTextWithShadow(pen, flags, caption, kShadowColour, Vector3{2.0f, -2.0f, 0.0f});
    else
        pFont->drawText(pen, flags, caption);
}
