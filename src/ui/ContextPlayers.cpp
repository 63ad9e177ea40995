#include "ui/ContextPlayers.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextEnterName.h"
#include "ui/FadingText.h"
#include "ui/FramePanel.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuResources.h"
#include "ui/ProfileList.h"
#include "ui/ScreenBelow.h"
#include "ui/ScreenStack.h"
#include "ui/TextFont.h"

namespace {
constexpr UColor kCurrentColour = 0xFFFF0000u;
constexpr UColor kOtherColour = 0xFFCCCCCCu;
constexpr int kNameLayout = 0x212;            // from x, centred on y, system font for any character
constexpr int kNameLayoutMirrored = 0x218;    // ending at x
constexpr char16_t kMarkerGlyph[] = u"\x01";  // the font's row marker

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextPlayers::ContextPlayers() {
    bDeleteOnClose = 1;
    MenuResources::playSound(u"pop");
    addChild(new FramePanel(0.0f, 0.0f, 0.0f, 640.0f, 384.0f, text(StringId::PLAYERS)));
    // Offsets by the layout's sign; the items mirror them once more in a right-to-left
    // language, so the three buttons keep their order on screen.
    const float m = horizontalSign;
    auto button = [this](MenuButton* item) {
        item->setWidth(160.0f);
        addItem(item);
        return item;
    };
    pAddButton = button(new MenuButton(-170.0f * m, -128.0f, 0.0f, text(StringId::ADDPLAYER), u""));
    pDeleteButton = button(new MenuButton(0.0f, -128.0f, 0.0f, text(StringId::DELETEPLAYER), u""));
    pDeleteButton->questionText = text(StringId::CONFIRM);
    button(new MenuItemBack(170.0f * m, -128.0f, 0.0f, text(StringId::DONE), u""));
    addItem(new ProfileList());
}

int ContextPlayers::rowAt(const Vector3& p, int rows) {
    if (p.x < -kRowHalfWidth || p.x >= kRowHalfWidth) return -1;
    for (int i = 0; i < rows; ++i) {
        const float middle = ProfileList::rowY(i);
        if (p.y > middle - 15.0f && p.y <= middle + 15.0f) return i;
    }
    return -1;
}

void ContextPlayers::tickContents(double time, double dt) {
    ScreenBelow::tickHooks(*this);
    if (!global) {
        ContextMenu::tickContents(time, dt);
        return;
    }
    ProfileManager& profiles = global->profiles;
    pAddButton->bDisabled = profiles.countProfiles() >= kMaxProfiles ? 1 : 0;
    pDeleteButton->bDisabled = profiles.countProfiles() <= 1 ? 1 : 0;
    ContextMenu::tickContents(time, dt);
    if (pAddButton->takeTrigger())
        ScreenStack::push(new ContextEnterName(true));
    else if (pDeleteButton->takeTrigger())
        profiles.deleteProfile(profiles.current);
    if (qor->input().anyTouchPressed()) selectPressedRow();
}

void ContextPlayers::selectPressedRow() {
    ProfileManager& profiles = global->profiles;
    const int row = rowAt(pointer, profiles.countProfiles());
    if (row < 0) return;
    profiles.current = row;
    profiles.onCurrentProfileChanged();
}

void ContextPlayers::renderContents() {
    ScreenBelow::draw(*this);
    ContextMenu::renderContents();
    if (!global) return;
    for (int i = 0, n = global->profiles.countProfiles(); i < n; ++i) drawRow(i);
}

void ContextPlayers::drawRow(int i) {
    TextFont* font = MenuFonts::get(MenuFonts::kMedium);
    const bool mirrored = qor->language().rightToLeft == 1;
    const bool current = i == global->profiles.current;
    const float y = ProfileList::rowY(i);
    FadingText name(mirrored ? kRowHalfWidth : -kRowHalfWidth, y, 0.0f, global->profiles.getProfileName(i), font,
                    current ? kCurrentColour : kOtherColour);
    name.layoutFlags = mirrored ? kNameLayoutMirrored : kNameLayout;
    name.fitToWidth(static_cast<int>(kNameWidth));
    name.render();
    if (current && font)
        font->drawTextAt(Vector3{mirrored ? 165.0f : -160.0f, y, 0.0f}, kCurrentColour, 0x14, kMarkerGlyph);
}
