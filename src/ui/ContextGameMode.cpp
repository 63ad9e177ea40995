#include "ui/ContextGameMode.h"

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextDialog.h"
#include "ui/ContextMenuBackground.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"

namespace {
std::u16string text(int id) { return qor->language().getString(id); }

// The dialog's rows top to bottom, and the switch each one is bound to: the screen's
// order is not the record's.
struct MutatorRow {
    int caption;
    int hint;
    int index;  // into GameConfiguration::mutators
};
constexpr MutatorRow kMutatorRows[GameConfiguration::kMutators] = {
    {StringId::MUTATORSNOBLASTER, StringId::MUTATORSNOBLASTERHINT, 2},
    {StringId::MUTATORSMATRIX, StringId::MUTATORSMATRIXHINT, 0},
    {StringId::MUTATORSBERSERK, StringId::MUTATORSBERSERKHINT, 1},
    {StringId::MUTATORSBLOATED, StringId::MUTATORSBLOATEDHINT, 3},
    {StringId::MUTATORSBOUNCY, StringId::MUTATORSBOUNCYHINT, 4},
    {StringId::AUTOCANNONS, StringId::AUTOCANNONSHINT, 5},
    {StringId::MUTATORSPX35, StringId::MUTATORSPX35HINT, 6},
};
}  // namespace

ContextGameMode::ContextGameMode() {
    const auto s = static_cast<float>(rowSpacing);
    pInvasion = new MenuButton(0.0f, 2.0f * s, 0.0f, text(StringId::CAMPAIGN), text(StringId::CAMPAIGNHINT));
    addItem(pInvasion);
    pDuel = new MenuButton(0.0f, s, 0.0f, text(StringId::CLASSICWAR), text(StringId::CLASSICWARHINT));
    addItem(pDuel);
    pMutators = new MenuButton(static_cast<float>(cornerX) - 80.0f, static_cast<float>(-cornerY), 0.0f,
                               text(StringId::MUTATORSDOTS), text(StringId::MUTATORSHINT));
    pMutators->setWidth(160.0f);
    addItem(pMutators);
    ScreenFrame::build(this, text(StringId::SELECTGAMETYPE));
}

void ContextGameMode::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pInvasion->takeTrigger()) openByName(kInvasionRulesClass);
    if (pDuel->takeTrigger()) openByName(kDuelRulesClass);
    if (pMutators->takeTrigger()) ScreenStack::push(openMutators());
}

bool ContextGameMode::openByName(const char16_t* className) {
    const ClassInfo* record = ClassRegistry::instance().findByName(className);
    auto* screen =
        record && record->factory ? dynamic_cast<Context*>(static_cast<BasicLink*>(record->factory())) : nullptr;
    if (!screen) {
        QOR_LOG("ContextGameMode::openByName", u"There is no screen %s.", std::u16string(className));
        return false;
    }
    ScreenStack::push(screen);
    return true;
}

ContextDialog* openMutators() {
    auto* dialog = new ContextDialog();
    const auto s = static_cast<float>(dialog->rowSpacing);
    dialog->bDeleteOnClose = 1;
    if (global) dialog->hookBefore = global->pMenuBackground;
    for (int row = 0; row < GameConfiguration::kMutators; ++row) {
        const MutatorRow& m = kMutatorRows[row];
        std::uint8_t* value = global ? &global->configuration.mutators[m.index] : nullptr;
        dialog->addItem(
            new MenuItemCheckbox(0.0f, static_cast<float>(3 - row) * s, 0.0f, value, text(m.caption), text(m.hint)));
    }
    ScreenFrame::build(dialog, text(StringId::MUTATORS));
    return dialog;
}
