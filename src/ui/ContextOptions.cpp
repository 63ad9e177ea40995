#include "ui/ContextOptions.h"

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "runtime/WindowShell.h"
#include "ui/ContextControls.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextSound.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/PlaceholderScreen.h"
#include "ui/ScreenStack.h"

namespace {
constexpr int kAskForLanguage = -1;  // the engine's defaultLanguage: show the selection

std::u16string text(int id) { return qor->language().getString(id); }

// A screen made through the class registry, or a titled stand-in when the class is not
// (yet) part of the program.
Context* screenByName(const char16_t* className, int titleId) {
    const ClassInfo* record = ClassRegistry::instance().findByName(className);
    auto* screen =
        record && record->factory ? dynamic_cast<Context*>(static_cast<BasicLink*>(record->factory())) : nullptr;
    if (screen) return screen;
    QOR_LOG("ContextOptions::screenByName", u"There is no screen %s; showing a stand-in.", std::u16string(className));
    auto* standIn = new ContextDialog();
    PlaceholderScreen::build(standIn, text(titleId));
    return standIn;
}
}  // namespace

ContextOptions::ContextOptions() {
    const auto s = static_cast<float>(rowSpacing);
    auto button = [this](float y, int caption) {
        auto* item = new MenuButton(0.0f, y, 0.0f, text(caption), u"");
        addItem(item);
        return item;
    };
    pGameplay = button(2.0f * s, StringId::GAMEPLAY);
    pControls = button(s, StringId::CONTROLS);
    pGraphics = button(0.0f, StringId::GRAPHICS);
    pSound = button(-s, StringId::SOUND);
    pNetworkWizard = button(-2.0f * s, StringId::NETWORKWIZARD);
    pLanguage = button(-3.0f * s, StringId::CHANGELANGUAGE);
    pHelp = button(static_cast<float>(-cornerY), StringId::HELP);
    pHelp->setWidth(160.0f);
    PlaceholderScreen::build(this, text(StringId::OPTIONS));
}

void ContextOptions::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pGameplay->takeTrigger()) ScreenStack::push(openGameplayOptions());
    if (pControls->takeTrigger()) ScreenStack::push(new ContextControls());
    if (pGraphics->takeTrigger()) ScreenStack::push(new ContextGraphics());
    if (pSound->takeTrigger()) ScreenStack::push(new ContextSound());
    if (pNetworkWizard->takeTrigger()) ScreenStack::push(screenByName(kNetworkWizardClass, StringId::NETWORKWIZARD));
    if (pLanguage->takeTrigger()) restartToChooseLanguage();
    if (pHelp->takeTrigger()) ScreenStack::push(screenByName(kHelpClass, StringId::HELPTITLE));
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
    PlaceholderScreen::build(dialog, text(StringId::GAMEPLAY));
    return dialog;
}
