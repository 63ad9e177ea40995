#include "ui/ContextEnterName.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuResources.h"
#include "ui/ProfileManager.h"

namespace {
constexpr char16_t kBackspace = 8;
constexpr char16_t kReturn = 13;
constexpr std::size_t kMaxName = ProfileManager::kMaxNameLength;

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextEnterName::ContextEnterName(bool closeOnEscape) {
    bDeleteOnClose = 1;
    bCloseOnEscape = closeOnEscape ? 1 : 0;
    if (global) hookBefore = global->pMenuBackground;
    MenuResources::playSound(u"pop");
    auto* title = new FadingText(0.0f, 80.0f, 0.0f, text(StringId::ENTERYOURNAME), MenuFonts::get(MenuFonts::kLarge),
                                 0xFFFFFFFFu);
    addChild(title);
    nameLabel = new FadingText(0.0f, 10.0f, 0.0f, u"", MenuFonts::get(MenuFonts::kMedium), 0xFFFFFFFFu);
    nameLabel->layoutFlags |= 0x200;
    addChild(nameLabel);
    doneItem = new MenuButton(0.0f, -80.0f, 0.0f, text(StringId::DONE), u"");
    doneItem->setWidth(160.0f);
    addItem(doneItem);
}

void ContextEnterName::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    const char16_t c = qor->input().typedChar;
    if (c == kBackspace && !name.empty()) name.pop_back();
    if (c >= 0x20 && c != 0x7F && name.size() < kMaxName) name.push_back(c);
    nameLabel->text = name + u"_";
    if (doneItem->takeTrigger() || c == kReturn) keepName();
}

void ContextEnterName::keepName() {
    const std::u16string kept = name.empty() ? std::u16string(u"Player") : name;
    if (global) {
        ProfileManager& profiles = global->profiles;
        if (profiles.getProfileName(profiles.current).empty()) {
            profiles.createProfile(kept);
        } else {
            profiles.profiles[static_cast<std::size_t>(profiles.current)].name.assign(kept);
            profiles.onCurrentProfileChanged();
        }
    }
    bFinished = 1;
}
