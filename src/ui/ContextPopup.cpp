#include "ui/ContextPopup.h"

#include <algorithm>
#include <cmath>

#include "engine/ChildIterator.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/QorGraphics.h"
#include "ui/FadingText.h"
#include "ui/FramePanel.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuResources.h"
#include "ui/ScreenBelow.h"
#include "ui/TextBlock.h"
#include "ui/TextFont.h"
#include "ui/TextLine.h"
#include "ui/TextSpan.h"

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;
constexpr float kMinimumWidth = 192.0f;
constexpr float kButtonRowWidth = 330.0f;

float lineHeightOf(const TextFont* font) { return font ? static_cast<float>(font->getLineHeight()) : 0.0f; }
}  // namespace

// Reports the menu's record: a popup is a menu to the rest of the program.
ClassInfo* ContextPopup::getClass() const { return &ContextMenu::classInfo; }

ContextPopup::ContextPopup() {
    bDeleteOnClose = 1;
    firstButtonLabel = qor->language().getString(StringId::OK);
}

void ContextPopup::onActivate(bool first) {
    ContextMenu::onActivate(first);
    if (first) MenuResources::playSound(u"pop");
}

void ContextPopup::setup() {
    TextFont* medium = MenuFonts::get(MenuFonts::kMedium);
    TextFont* large = MenuFonts::get(MenuFonts::kLarge);
    const float lineStep = std::trunc(lineHeightOf(medium) * 1.25f);
    const float screenWidth = static_cast<float>(kVirtualScreenWidth);
    TextBlock block(medium, screenWidth * 0.75f, lineStep, text);
    float width = kMinimumWidth;
    float height = 0.0f;
    if (!title.empty()) {
        width = std::max(large ? large->measureText(title).x : 0.0f, kMinimumWidth);
        height = lineHeightOf(large) + lineStep;
    }
    width = std::max(width, block.width);
    height += block.height;
    const int buttons = (firstButtonLabel.empty() ? 0 : 1) + (secondButtonLabel.empty() ? 0 : 1);
    if (buttons > 0) {
        height += lineStep + 50.0f;
        width = std::max(width, kButtonRowWidth);
    }
    if (buttons < 2) bCloseOnFireKey = 1;
    width = std::max(width, height);  // never narrower than tall
    // Even sizes put the centred panel, its lines and its buttons on whole pixels: an edge
    // through pixel centres is drawn a pixel apart into a window and into an image.
    width = 2.0f * std::ceil(width * 0.5f);
    height = 2.0f * std::ceil(height * 0.5f);
    const float top = height * 0.5f;
    const Vector3& at = dialogPosition;
    addChild(new FramePanel(at.x, at.y, at.z, width + 100.0f, height + 100.0f, u""));
    float cursor = top;
    if (!title.empty()) {
        auto* label = new FadingText(at.x, at.y + top, at.z, title, large, kWhite);
        label->bShadow = 0;
        addChild(label);
        cursor = std::trunc(top - lineHeightOf(large)) - lineStep;
    }
    for (ChildIterator line(&block); !line.done; line.next()) {
        float penX = std::trunc(-static_cast<TextLine*>(line.current)->width * 0.5f);
        for (ChildIterator it(line.current); !it.done; it.next()) {
            const auto* span = static_cast<TextSpan*>(it.current);
            const UColor colour = span->colour == TextSpan::kDefaultColour ? kWhite : span->colour;
            auto* label = new FadingText(at.x + penX, at.y + cursor, at.z, span->text, medium, colour);
            label->layoutFlags = 3;
            label->bShadow = 0;
            addChild(label);
            penX = std::trunc(penX + span->width);
        }
        cursor -= lineStep;
    }
    if (buttons > 0) cursor -= lineStep;
    if (!firstButtonLabel.empty())
        firstButton = addButton(firstButtonLabel, buttons == 2 ? -85.0f : 0.0f, cursor - 25.0f);
    if (!secondButtonLabel.empty()) secondButton = addButton(secondButtonLabel, 85.0f, cursor - 25.0f);
    if (result) *result = -1;
}

MenuButton* ContextPopup::addButton(const std::u16string& label, float x, float y) {
    // Buttons mirror themselves in a right-to-left language; the dialog's own offset does not.
    auto* button = new MenuButton(x, y, 0.0f, label, u"");
    button->position = button->position + dialogPosition;
    button->setWidth(160.0f);
    addChild(button);
    addNavigationEntry(button);
    return button;
}

void ContextPopup::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (firstButton && firstButton->takeTrigger()) {
        if (result) *result = 0;
        bFinished = 1;
    }
    if (secondButton && secondButton->takeTrigger()) {
        if (result) *result = 1;
        bFinished = 1;
    }
}

// The opener stays visible behind the dialog.
void ContextPopup::renderContents() {
    if (clearColor == 0 && prev)
        if (auto* below = dynamic_cast<Context*>(static_cast<QorBase*>(prev))) below->frameRender();
    ContextMenu::renderContents();
}

void ContextPopup::addBoxesToKeepClear(std::vector<ViewRect>& boxes) const {
    if (clearColor != 0) return;
    if (const Context* below = ScreenBelow::of(*this)) below->addBoxesToKeepClear(boxes);
}
