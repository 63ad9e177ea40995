#include "ui/ContextControls.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextDialog.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/KeyBindingItem.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"

namespace {
constexpr float kPlateWidth = 192.0f;
constexpr int kEscape = 1;  // the in-game menu's key, fixed

std::u16string text(int id) { return qor->language().getString(id); }

// The controls of a page top to bottom, with the key-table row each one is bound to.
struct ControlRow {
    int caption;
    int row;
};
constexpr ControlRow kControlRows[] = {
    {StringId::CONTROLSUP, GameConfiguration::kKeyUp},     {StringId::CONTROLSDOWN, GameConfiguration::kKeyDown},
    {StringId::CONTROLSLEFT, GameConfiguration::kKeyLeft}, {StringId::CONTROLSRIGHT, GameConfiguration::kKeyRight},
    {StringId::CONTROLSFIRE, GameConfiguration::kKeyFire},
};
}  // namespace

ContextControls::ContextControls() {
    const auto s = static_cast<float>(rowSpacing);
    auto button = [this](float y, int caption) { return ScreenFrame::addButton(this, y, text(caption)); };
    pKeyboard = button(2.0f * s, StringId::CONTROLS0);
    pPlayer1 = button(s, StringId::CONTROLS1);
    pPlayer2 = button(0.0f, StringId::CONTROLS2);
    ScreenFrame::build(this, text(StringId::CONTROLS));
}

void ContextControls::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pPlayer1->takeTrigger()) ScreenStack::push(openPlayerControls(0));
    if (pPlayer2->takeTrigger()) ScreenStack::push(openPlayerControls(1));
    if (pKeyboard->takeTrigger()) ScreenStack::push(openKeyboardOptions());
}

ContextDialog* openPlayerControls(int player) {
    auto* page = new ContextDialog();
    const int column = player == 1 ? 1 : 0;
    const auto s = static_cast<float>(page->rowSpacing);
    float y = 2.0f * s;
    for (const ControlRow& control : kControlRows) {
        auto* item = new KeyBindingItem(0.0f, y, 0.0f, text(control.caption), u"",
                                        &global->configuration.keys[control.row][column]);
        item->setWidth(kPlateWidth);
        page->addItem(item);
        y -= s;
    }
    ScreenFrame::build(page, text(column == 0 ? StringId::CONTROLS1 : StringId::CONTROLS2));
    return page;
}

ContextDialog* openKeyboardOptions() {
    auto* page = new ContextDialog();
    auto* menuKey = new MenuItem(0.0f, 0.0f, 0.0f, text(StringId::CONTROLSINGAMEMENU), u"");
    menuKey->bDisabled = 1;
    menuKey->disabledText = text(StringId::CONTROLSINGAMEMENUHINT);
    menuKey->setWidth(kPlateWidth);
    page->addChild(menuKey);
    auto* name = new FadingText(0.0f, 0.0f, 0.0f, qor->language().keyName.get(kEscape),
                                MenuFonts::get(MenuFonts::kMedium), 0x80000000u);
    name->bShadow = 0;
    name->layoutFlags = 0x14;
    page->addChild(name);
    ScreenFrame::build(page, text(StringId::DEVICE_KEYBOARD));
    return page;
}
