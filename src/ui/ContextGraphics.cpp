#include "ui/ContextGraphics.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextAdvancedOptions.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"

namespace {
constexpr int kDetailLevels = 2;  // low, high

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextGraphics::ContextGraphics() {
    addItem(new MenuItemChoice(0.0f, 0.0f, 0.0f, &global->configuration.detail, 0, kDetailLevels - 1,
                               StringId::ENUMDETAIL0, text(StringId::DETAIL), text(StringId::DETAILHINT)));
    pAdvanced = new MenuButton(static_cast<float>(cornerX - 128), static_cast<float>(-cornerY), 0.0f,
                               text(StringId::ADVANCEDOPTIONS), u"");
    addItem(pAdvanced);
    ScreenFrame::build(this, text(StringId::GRAPHICS));
}

void ContextGraphics::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pAdvanced->takeTrigger()) ScreenStack::push(new ContextAdvancedOptions());
}
