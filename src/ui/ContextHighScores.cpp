#include "ui/ContextHighScores.h"

#include <algorithm>
#include <cmath>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/VirtualScreen.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/ContextMenuBackground.h"
#include "ui/GameConfiguration.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemChoice.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"
#include "ui/TextFont.h"

namespace {
constexpr int kNameLayout = 0x202;  // left-aligned; the system font for missing glyphs
constexpr int kScoreLayout = 0x8;   // right-aligned
constexpr UColor kRowColour = 0xFFFFFFFFu;

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextHighScores::ContextHighScores(std::int32_t tableIndex) {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    ScreenFrame::addTitle(this, text(StringId::HIGHSCORES));
    const bool fixed = tableIndex >= 0 && tableIndex < GameConfiguration::kTables;
    table = fixed ? tableIndex : 0;
    if (!fixed) {
        const int halfHeight = kVirtualScreenHeight / 2;  // whole units
        pTableSelector = new MenuItemChoice(0.0f, static_cast<float>(halfHeight - 100), 0.0f, &table, 0,
                                            GameConfiguration::kTables - 1, StringId::ENUMGAMETYPE0, u"", u"");
        addItem(pTableSelector);
    }
    pMoreOptions = new MenuButton(static_cast<float>(cornerX - 128), static_cast<float>(-cornerY), 0.0f,
                                  text(StringId::HIGHSCOREOPTIONSDOTS), u"");
    addItem(pMoreOptions);
    ScreenFrame::addBack(this, text(StringId::OK));
}

UColor ContextHighScores::pulseColour(double t) {
    const auto f = static_cast<float>(0.5 + 0.5 * std::sin(kPulseRate * t));
    return lerpColor(kPulseLow, kPulseHigh, f);
}

std::int32_t ContextHighScores::shownTable() const { return std::clamp(table, 0, GameConfiguration::kTables - 1); }

void ContextHighScores::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    highlightColour = pulseColour(localTime);
    if (pMoreOptions->takeTrigger()) ScreenStack::push(new ContextHighScoresOnline());
}

void ContextHighScores::renderContents() {
    ContextMenu::renderContents();
    drawRows();
}

void ContextHighScores::drawRows() {
    TextFont* font = MenuFonts::get(MenuFonts::kMedium);
    if (!font || !global) return;
    const HIGHSCOREENTRY* rows = global->configuration.highScores[shownTable()];
    for (int i = 0; i < GameConfiguration::kEntries; ++i) {
        const float y = kFirstRowY - kRowStep * static_cast<float>(i);
        const UColor colour = i == global->lastHighScorePlace ? highlightColour : kRowColour;
        std::u16string name = utf8ToWide(reinterpret_cast<const char*>(rows[i].name.bytes));
        if (name.empty()) name = u"...";
        font->drawTextAt(Vector3{kNameX, y, 0.0f}, colour, kNameLayout, name);
        font->drawTextAt(Vector3{kScoreX, y, 0.0f}, colour, kScoreLayout,
                         formatPercent(static_cast<float>(rows[i].score) / 100000.0f));
    }
}
