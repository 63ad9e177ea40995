#include "ui/ProfileWidget.h"

#include <algorithm>

#include "engine/Format.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/Context.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMenu.h"
#include "ui/ContextPlayers.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/ScreenStack.h"
#include "ui/TextFont.h"

namespace {
constexpr UColor kNormal = 0xFFCCCCCCu;
constexpr UColor kHovered = 0xFFFF0000u;
constexpr int kSystemFontFallback = 0x200;

std::u16string text(int id) { return qor->language().getString(id); }
std::u16string currentName() {
    return global ? global->profiles.getProfileName(global->profiles.current) : std::u16string();
}
}  // namespace

ProfileWidget::ProfileWidget() {
    TextFont* font = MenuFonts::get(MenuFonts::kMedium);
    nameLabel = new FadingText(0.0f, 35.0f, 0.0f, u"", font, kNormal);
    nameLabel->bShadow = 0;
    nameLabel->layoutFlags |= kSystemFontFallback;  // a player's name may hold any character
    addChild(nameLabel);
    hintLabel = new FadingText(0.0f, 5.0f, 0.0f, u"", MenuFonts::get(MenuFonts::kSmall), kNormal);
    hintLabel->bShadow = 0;
    addChild(hintLabel);
    setHint();
}

void ProfileWidget::setHint() {
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    hintLabel->text = text(touch ? StringId::IOS_CLICKTOCHANGEPLAYERS : StringId::CLICKTOCHANGEPLAYERS);
}

void ProfileWidget::onInputModeChange() { setHint(); }

bool ProfileWidget::isHovered() const {
    const Context* context = qor->pCurrentContext;
    if (!context) return false;
    const Vector3& p = context->pointer;
    // At least 200 x 36 below the greeting's top, grown to take in both lines as drawn:
    // the invitation to click stands below the greeting.
    float halfWidth = 100.0f;
    float bottom = nameLabel->position.y - 36.0f;
    for (const FadingText* label : {nameLabel, hintLabel}) {
        if (!label->font) continue;
        halfWidth = std::max(halfWidth, label->font->measureText(label->text).x * label->scale.x / 2.0f);
        bottom = std::min(bottom, label->position.y - static_cast<float>(label->font->getLineHeight()));
    }
    const float top = nameLabel->position.y;
    return p.x >= -halfWidth && p.x < halfWidth && p.y > bottom && p.y <= top;
}

void ProfileWidget::tick(double time, double dt) {
    const std::u16string name = currentName();
    nameLabel->text = formatString(text(StringId::HELLO).c_str(), name);
    QorBase::tick(time, dt);
    const bool hovered = isHovered();
    nameLabel->color = hovered ? kHovered : kNormal;
    if (hovered && qor->input().anyTouchPressed()) ScreenStack::push(new ContextPlayers());
    if (!global) return;
    if (!name.empty()) {
        global->configuration.bNameRequested = 0;
        return;
    }
    global->configuration.bNameRequested = 1;
    // A screen pushed above the menu in this frame (a notice at the title) goes first;
    // the name is asked for once the menu is on top again.
    if (ScreenStack::top() == qor->pCurrentContext) ScreenStack::push(new ContextEnterName(false));
}

// Only the children: the widget's own quad is its hover box, which is not drawn.
void ProfileWidget::render() { QorBase::render(); }  // NOLINT(bugprone-parent-virtual-call)

Vector3 ProfileWidget::getNavigationPoint(int i) {
    if (i != 0) return kNoPoint;
    for (BasicLink* p = parent; p; p = p->parent)
        if (auto* menu = dynamic_cast<ContextMenu*>(static_cast<QorBase*>(p)))
            return menu->worldToScreen(nameLabel->local2world(Vector3{0.0f, 0.0f, 0.0f}));
    return nameLabel->position;
}
