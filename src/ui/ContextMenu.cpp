#include "ui/ContextMenu.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/Camera.h"
#include "render/QorGraphics.h"
#include "render/Renderable.h"
#include "render/VertexBuffer.h"
#include "ui/MenuItem.h"
#include "ui/MenuNavEntry.h"
#include "ui/NavigationTarget.h"

QOR_DEFINE_CLASS_AS(ContextMenu, "_4229753a", Context, (&makeInstance<ContextMenu, BasicLink>))

ClassInfo* ContextMenu::getClass() const { return &classInfo; }

int ContextMenu::navigationMode = ContextMenu::kMouseNavigation;
int ContextMenu::lastNavigationModeFrame = -1;
int ContextMenu::defaultCaptionLocation = 4;
float ContextMenu::horizontalSign = 1.0f;

namespace {
struct KeyCodes {
    int keyboard, pad0, pad1;
};
// Up, down, left, right, in the order in which a frame's presses are searched.
constexpr KeyCodes kDirectionKeys[4] = {{200, 256, 304}, {208, 257, 305}, {203, 258, 306}, {205, 259, 307}};
constexpr KeyCodes kActivateKeys = {28, 272, 320};
constexpr int kBackButtons[2] = {273, 321};
constexpr float kPointerMoveLimit = 4.0f;  // squared units per frame that mean "took the mouse"
constexpr float kHelpLineGap = 2.0f;       // units of sky between the help line's backing and the items

bool isDown(const QorInput& in, int code) { return in.keyState[code] & QorInput::kDown; }
bool wasDown(const QorInput& in, int code) { return in.previousKeyState[code] & QorInput::kDown; }
bool anyPressed(const QorInput& in, const KeyCodes& k) {
    return in.wasPressed(k.keyboard) || in.wasPressed(k.pad0) || in.wasPressed(k.pad1);
}
bool anyReleased(const QorInput& in, const KeyCodes& k) {
    for (int code : {k.keyboard, k.pad0, k.pad1})
        if (!isDown(in, code) && wasDown(in, code)) return true;
    return false;
}
}  // namespace

int ContextMenu::virtualWidth() { return kVirtualScreenWidth; }
int ContextMenu::virtualHeight() { return kVirtualScreenHeight; }

ContextMenu::ContextMenu() : navigationList(new QorBase()) {
    cornerX = virtualWidth() / 2 + rowSpacing / 2 - marginX;
    cornerY = virtualHeight() / 2 - marginY;
    rememberedPointer = worldToScreen(Vector3{0.0f, static_cast<float>(virtualHeight()) / 2.0f, 0.0f});
    const int rtl = qor->language().rightToLeft;
    if (rtl == 0) {
        defaultCaptionLocation = 4;
        horizontalSign = 1.0f;
    } else if (rtl == 1) {
        defaultCaptionLocation = 6;
        horizontalSign = -1.0f;
    }
}

ContextMenu::~ContextMenu() { navigationList->destroy(); }

void ContextMenu::addItem(QorBase* widget) {
    addChild(widget);
    addNavigationEntry(widget);
}

MenuNavEntry* ContextMenu::addNavigationEntry(QorBase* widget) {
    auto* entry = new MenuNavEntry(widget);
    navigationList->addChild(entry);
    return entry;
}

void ContextMenu::setMenuNavigationMode(int mode) {
    if (mode == navigationMode) return;
    QOR_LOG("ContextMenu::setMenuNavigationMode", u"Setting menu navigation mode to %d", mode);
    navigationMode = mode;
    lastNavigationModeFrame = qor->frameCounter;
}

void ContextMenu::checkNavigationMode() {
    if (qor->input().inputMode == QorInput::kModeTouch) setMenuNavigationMode(kMouseNavigation);
}

void ContextMenu::onInputModeChange() {
    checkNavigationMode();
    Context::onInputModeChange();
}

// Visits every on-screen navigation point of the visible, living widgets in list order;
// entries whose widget died are dropped on the way.
template <class Visit>
void ContextMenu::forEachNavigationPoint(Visit visit) {
    const float w = static_cast<float>(virtualWidth());
    const float h = static_cast<float>(virtualHeight());
    for (ChildIterator it(navigationList, ChildIterator::kDestroyPending); !it.done; it.next()) {
        QorBase* widget = static_cast<MenuNavEntry*>(it.current)->getWidget();
        if (!widget) {
            it.current->pendingDelete = 1;
            continue;
        }
        auto* renderable = dynamic_cast<Renderable*>(widget);
        auto* target = dynamic_cast<NavigationTarget*>(widget);
        if (!target || (renderable && renderable->bHidden)) continue;
        // A widget offers a handful of points; the bound guards against one that never ends its list.
        for (int i = 0; i < 64; ++i) {
            const Vector3 q = target->getNavigationPoint(i);
            if (q.x == -1.0f && q.y == -1.0f && q.z == -1.0f) break;
            if (q.x >= 0.0f && q.x < w && q.y > 0.0f && q.y <= h) visit(NavigationPoint{q, widget, target, i});
        }
    }
}

Vector3 ContextMenu::findNavigationTarget(const Vector3& from, int direction) {
    bool found = false;
    Vector3 best = from;
    float bestScore = 0.0f;
    forEachNavigationPoint([&](const NavigationPoint& point) {
        const float s = scoreNavigationTarget(from, point.at, direction);
        if (s <= 0.0f || (found && !(s > bestScore))) return;
        found = true;
        best = point.at;
        bestScore = s;
    });
    return best;
}

float ContextMenu::scoreNavigationTarget(const Vector3& from, const Vector3& q, int direction) {
    const Vector3 d = q - from;
    const float dist = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (direction == kNearest) return 256.0f / std::max(1.0f, dist);
    if (dist < 4.0f) return -1.0f;
    Vector3 axis{0.0f, 0.0f, 0.0f};
    switch (direction) {
        case kUp:
            axis = {0.0f, 1.0f, 0.0f};
            break;
        case kDown:
            axis = {0.0f, -1.0f, 0.0f};
            break;
        case kLeft:
            axis = {-1.0f, 0.0f, 0.0f};
            break;
        case kRight:
            axis = {1.0f, 0.0f, 0.0f};
            break;
        default:
            break;
    }
    const float cosine = (d.x * axis.x + d.y * axis.y + d.z * axis.z) / dist;
    return 256.0f * cosine / dist;
}

float ContextMenu::getHelpLineLift() {
    const float band = MenuItem::getHelpLineHeight();
    if (band <= 0.0f) return 0.0f;
    float lowest = std::numeric_limits<float>::max();
    for (ChildIterator it(this); !it.done; it.next())
        if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current)))
            lowest = std::min(lowest, item->getLowestY());
    const float clear = band + kHelpLineGap - static_cast<float>(virtualHeight()) / 2.0f;
    return std::max(0.0f, std::ceil(clear - lowest));
}

// Every frame, as items may come and go; their places at rest decide, so a click's pulse
// never moves the screen. A screen drawn beneath another before its first tick (the title
// under the first start's name entry) is raised as well.
void ContextMenu::placeCamera() {
    const float y = -getHelpLineLift();
    if (!pCamera || pCamera->position.y == y) return;
    pCamera->position.y = y;
    pCamera->target.y = y;
    pCamera->tick(localTime, 0.0);
}

void ContextMenu::tick(double time, double step) {
    placeCamera();
    Context::tick(time, step);
}

void ContextMenu::render() {
    placeCamera();
    Context::render();
}

void ContextMenu::tickContents(double time, double step) {
    Context::tickContents(time, step);
    // A mark ahead of the counter was left by an engine that ran before this one (its
    // count started again), and must not hold the keys back until the count catches up.
    const int sinceModeChange = qor->frameCounter - lastNavigationModeFrame;
    if (sinceModeChange > 1 || sinceModeChange < 0) handleNavigationKeys();
    notePointedItem();
    const Vector3& d = qor->input().pointerDelta;
    if (navigationMode == kKeyNavigation && d.x * d.x + d.y * d.y + d.z * d.z > kPointerMoveLimit)
        setMenuNavigationMode(kMouseNavigation);
}

void ContextMenu::handleNavigationKeys() {
    QorInput& in = qor->input();
    if (bCloseOnEscape && !bConfirmClose && (in.wasPressed(kBackButtons[0]) || in.wasPressed(kBackButtons[1])))
        bFinished = 1;
    if (anyPressed(in, kActivateKeys)) bActivationArmed = 1;
    bool moved = false;
    for (const KeyCodes& k : kDirectionKeys) moved = moved || anyPressed(in, k);
    const bool released = anyReleased(in, kActivateKeys);
    if (!moved && !released) return;
    setMenuNavigationMode(kKeyNavigation);
    const Vector3 from = keyStart();
    Vector3 p = from;
    for (int direction = kUp; direction <= kRight; ++direction)
        if (anyPressed(in, kDirectionKeys[direction])) p = findNavigationTarget(from, direction);
    in.setInputMode(QorInput::kModeMouse);
    // The pointer's z is the wheel's in mouse mode: a key leaves it alone.
    in.setMousePos(p.x, p.y, in.pointerPosition.z);
    if (released && bActivationArmed) in.addMouseContact();
}

void ContextMenu::notePointedItem() {
    const QorInput& in = qor->input();
    if (in.isPointerOffPicture()) return;
    std::optional<NavigationPoint> under;
    float nearest = 0.0f;
    forEachNavigationPoint([&](const NavigationPoint& point) {
        // The first widget under the pointer has it; of its points, the one nearest the pointer.
        if (under && point.widget != under->widget) return;
        const Vector3 d = point.at - in.pointerPosition;
        const float distance = d.x * d.x + d.y * d.y;
        if (under ? !(distance < nearest) : !point.target->isUnderPointer()) return;
        under = point;
        nearest = distance;
    });
    if (!under) return;
    pointedWidget.set(under->widget);
    pointedIndex = under->index;
}

Vector3 ContextMenu::keyStart() {
    const QorInput& in = qor->input();
    // In the picture's plane: in mouse mode the pointer's z is the wheel's, no depth.
    if (!in.isPointerOffPicture()) return Vector3{in.pointerPosition.x, in.pointerPosition.y, 0.0f};
    std::optional<Vector3> first, pointed;
    forEachNavigationPoint([&](const NavigationPoint& point) {
        if (!first) first = point.at;
        if (point.widget == pointedWidget.get() && point.index == pointedIndex) pointed = point.at;
    });
    return pointed ? *pointed : first.value_or(in.pointerPosition);
}

void ContextMenu::onActivate(bool first) {
    Context::onActivate(first);
    bActivationArmed = 0;
    QorInput& in = qor->input();
    if (navigationMode == kMouseNavigation) {
        if (in.inputMode == QorInput::kModeTouch)
            in.setMousePos(static_cast<float>(virtualWidth()) / 2.0f, static_cast<float>(virtualHeight()), 0.0f);
        return;
    }
    const float wheel = in.pointerPosition.z;
    in.setMousePos(rememberedPointer.x, rememberedPointer.y, rememberedPointer.z);
    pointer = screenToWorld(in.pointerPosition);
    const Vector3 target = findNavigationTarget(in.pointerPosition, kNearest);
    in.setInputMode(QorInput::kModeMouse);
    in.setMousePos(target.x, target.y, wheel);
}

void ContextMenu::onDeactivate(bool closing) {
    Context::onDeactivate(closing);
    rememberedPointer = qor->input().isPointerOffPicture() ? keyStart() : worldToScreen(pointer);
}

Vector3 ContextMenu::worldToScreen(const Vector3& p) const {
    if (!pCamera) return p;
    const ViewRect r = pCamera->getViewRect(pCamera->target.z);
    const float s = (pCamera->target.z - pCamera->position.z) / (static_cast<float>(virtualWidth()) / 2.0f);
    return Vector3{(p.x - r.left) / s, (p.y - r.bottom) / s, p.z};
}

Vector3 ContextMenu::screenToWorld(const Vector3& p) const {
    if (!pCamera) return p;
    const ViewRect r = pCamera->getViewRect(pCamera->target.z);
    const float s = (pCamera->target.z - pCamera->position.z) / (static_cast<float>(virtualWidth()) / 2.0f);
    return Vector3{r.left + p.x * s, r.bottom + p.y * s, p.z};
}

// The hovered item's help line goes over every item, so that none drawn later cuts
// through it, at the bottom of the screen however far the menu is raised.
void ContextMenu::drawHelpLine() {
    const float bottom =
        pCamera ? pCamera->getViewRect(pCamera->target.z).bottom : -static_cast<float>(virtualHeight()) / 2.0f;
    for (ChildIterator it(this); !it.done; it.next())
        if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current));
            item && item->bHovered && !item->bHidden)
            item->drawHelpLine(bottom);
}

void ContextMenu::renderContents() {
    Context::renderContents();
    // A menu with a screen above it on the stack is being drawn beneath that screen (a
    // popup, say): its items keep the hover of their last tick, but the pointer, and with
    // it the help line, belongs to the screen on top.
    if (!next) drawHelpLine();
    if (qor->bDebugLocked || qor->debugLevel == 0) return;
    const bool blink = navigationMode == kKeyNavigation && static_cast<long long>(localTime * 5.0) % 2 == 1;
    const UColor colour = blink ? 0xFFFF00FFu : 0xFF000000u;
    forEachNavigationPoint([&](const NavigationPoint& point) {
        const Vector3& q = point.at;
        const Vector3 lo = screenToWorld(Vector3{q.x - 5.0f, q.y - 5.0f, 0.0f});
        const Vector3 hi = screenToWorld(Vector3{q.x + 5.0f, q.y + 5.0f, 0.0f});
        const float rect[4] = {lo.x, hi.y, hi.x, lo.y};
        drawRectOutline(rect, colour);
    });
}
