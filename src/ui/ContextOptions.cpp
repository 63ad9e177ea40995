#include "ui/ContextOptions.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "runtime/WindowShell.h"
#include "ui/ContextControls.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextHelp.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextSound.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"

namespace {
constexpr int kAskForLanguage = -1;  // the engine's defaultLanguage: show the selection

std::u16string text(int id) { return qor->language().getString(id); }

}  // namespace

ContextOptions::ContextOptions() {
    const auto s = static_cast<float>(rowSpacing);
    auto button = [this](float y, int caption) { return ScreenFrame::addButton(this, y, text(caption)); };
    pGameplay = button(2.0f * s, StringId::GAMEPLAY);
    pControls = button(s, StringId::CONTROLS);
    pGraphics = button(0.0f, StringId::GRAPHICS);
    pSound = button(-s, StringId::SOUND);
    pNetworkWizard = button(-2.0f * s, StringId::NETWORKWIZARD);
    pLanguage = button(-3.0f * s, StringId::CHANGELANGUAGE);
    pHelp = button(static_cast<float>(-cornerY), StringId::HELP);
    pHelp->setWidth(160.0f);
    ScreenFrame::build(this, text(StringId::OPTIONS));
}

void ContextOptions::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pGameplay->takeTrigger()) ScreenStack::push(openGameplayOptions());
    if (pControls->takeTrigger()) ScreenStack::push(new ContextControls());
    if (pGraphics->takeTrigger()) ScreenStack::push(new ContextGraphics());
    if (pSound->takeTrigger()) ScreenStack::push(new ContextSound());
    if (pNetworkWizard->takeTrigger()) ScreenStack::push(new ContextNetworkWizard1());
    if (pLanguage->takeTrigger()) restartToChooseLanguage();
    if (pHelp->takeTrigger()) ScreenStack::push(new ContextHelp());
}

void ContextOptions::restartToChooseLanguage() {
    qor->defaultLanguage = kAskForLanguage;
    restartRequested = true;
}

ContextDialog* openGameplayOptions() {
    auto* dialog = new ContextDialog();
    GameConfiguration& c = global->configuration;
    const float half = static_cast<float>(dialog->rowSpacing) * 0.5f;
    dialog->addItem(
        new MenuItemCheckbox(0.0f, half, 0.0f, &c.bInGameHelp, text(StringId::TUTORIAL), text(StringId::TUTORIALHINT)));
    dialog->addItem(new MenuItemCheckbox(0.0f, -half, 0.0f, &c.bAllowCheats, text(StringId::ALLOWCHEATS),
                                         text(StringId::ALLOWCHEATSHINT)));
    ScreenFrame::build(dialog, text(StringId::GAMEPLAY));
    return dialog;
}
