// The help line of every menu screen that shows one, drawn by the running program with
// its own art and fonts: the line and its backing cover no pixel that the screen's items
// draw (frames, shadows, captions and values), and the line stands on the bottom edge of
// the picture; in English and German, in a window of the virtual screen's shape and full
// screen at 4:3, 16:10, 16:9, 21:9 and upright 9:16, the last both with the bars the game
// puts around a shape far from its own and stretched. One test a shape.
//
// What a part draws is found as the pixels that change when it alone is hidden or shown.
// Away from the window, each screen shows its widest help line only: the lines are all
// centred on the same band, so the widest one's backing holds every other's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/Strings.h"
#include "game/ContextDuelRules.h"
#include "game/ContextInvasionRules.h"
#include "game/ContextPaused.h"
#include "language/Language.h"
#include "render/QorGraphics.h"
#include "support/ChangedBox.h"
#include "ui/ContextAdvancedOptions.h"
#include "ui/ContextControls.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextHelp.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextNetworkWizard2.h"
#include "ui/ContextOptions.h"
#include "ui/ContextSound.h"
#include "ui/DisplayShapeFixture.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItem.h"
#include "ui/TextFont.h"

namespace {
struct Screen {
    const char* name;
    ContextMenu* (*open)();
};
// Every screen with a help line. The network test's first page has one in full screen
// only (on its check box for running the test in a window).
const Screen kScreens[] = {
    {"title", []() -> ContextMenu* { return new ContextMainGame(); }},
    {"game mode", []() -> ContextMenu* { return new ContextGameMode(); }},
    {"mutators", []() -> ContextMenu* { return openMutators(); }},
    {"Invasion rules", []() -> ContextMenu* { return new ContextInvasionRules(); }},
    {"Duel rules", []() -> ContextMenu* { return new ContextDuelRules(); }},
    {"gameplay", []() -> ContextMenu* { return openGameplayOptions(); }},
    {"graphics", []() -> ContextMenu* { return new ContextGraphics(); }},
    {"advanced options", []() -> ContextMenu* { return new ContextAdvancedOptions(); }},
    {"sound", []() -> ContextMenu* { return new ContextSound(); }},
    {"keyboard", []() -> ContextMenu* { return openKeyboardOptions(); }},
    {"help", []() -> ContextMenu* { return new ContextHelp(); }},
    {"more options", []() -> ContextMenu* { return new ContextHighScoresOnline(); }},
    {"network test", []() -> ContextMenu* { return new ContextNetworkWizard1(); }},
    {"country", []() -> ContextMenu* { return new ContextNetworkWizard2(); }},
    {"pause", []() -> ContextMenu* { return new ContextPaused(); }},
};

class HelpLinePicture : public DisplayShapeFixture {
protected:
    static std::vector<MenuItem*> itemsOf(ContextMenu& menu) {
        std::vector<MenuItem*> items;
        for (ChildIterator it(&menu); !it.done; it.next())
            if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current)); item && !item->bHidden)
                items.push_back(item);
        return items;
    }
    static const std::u16string& helpLineOf(const MenuItem& item) {
        return item.bDisabled ? item.disabledText : item.helpText;
    }
    // Those of `items` with a help line, or the one of them with the widest.
    static std::vector<MenuItem*> withHelpLines(const std::vector<MenuItem*>& items, bool widestOnly) {
        std::vector<MenuItem*> chosen;
        std::copy_if(items.begin(), items.end(), std::back_inserter(chosen),
                     [](const MenuItem* item) { return !helpLineOf(*item).empty(); });
        if (!widestOnly || chosen.empty()) return chosen;
        auto narrower = [](const MenuItem* a, const MenuItem* b) {
            const TextFont* font = MenuFonts::get(MenuFonts::kSmall);
            return font->measureText(helpLineOf(*a)).x < font->measureText(helpLineOf(*b)).x;
        };
        return {*std::max_element(chosen.begin(), chosen.end(), narrower)};
    }
    // Each help line of `menu` (or its widest) covers no pixel that changes when its items
    // are hidden, and its lowest row is the picture's (the viewport's, between bars).
    void expectHelpLinesClear(ContextMenu& menu, const std::string& where, bool widestOnly) {
        const std::vector<MenuItem*> items = itemsOf(menu);
        drawn(menu);  // every text of the screen into the fonts' caches, whence a scaled picture differs a little
        const std::vector<std::uint32_t> bare = drawn(menu);
        for (MenuItem* item : items) item->bHidden = 1;
        const std::vector<std::uint32_t> noItems = drawn(menu);
        for (MenuItem* item : items) item->bHidden = 0;
        for (MenuItem* item : withHelpLines(items, widestOnly)) {
            SCOPED_TRACE(where + ": " + wideToUtf8(helpLineOf(*item)));
            item->bHovered = 1;
            const std::vector<std::uint32_t> lit = drawn(menu);
            item->bHovered = 0;
            const ChangedBox line = changedBox(bare, lit, width, height, kAlike);
            ASSERT_FALSE(line.empty()) << "no help line drawn";
            int covered = 0;
            for (int y = line.top; y <= line.bottom; ++y)
                for (int x = line.left; x <= line.right; ++x)
                    if (channelDifference(bare[at(x, y)], lit[at(x, y)]) > kAlike &&
                        channelDifference(bare[at(x, y)], noItems[at(x, y)]) > kAlike)
                        ++covered;
            EXPECT_EQ(covered, 0) << "help line in rows " << line.top << ".." << line.bottom << ", columns "
                                  << line.left << ".." << line.right << ", items reach down to row "
                                  << lowestRow(bare, noItems, line.left, line.right);
            EXPECT_EQ(line.bottom, qor->graphics().viewportBottom - 1);
        }
    }
    // The lowest row where the items draw in the columns left..right, or -1.
    int lowestRow(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int left, int right) const {
        for (int y = height - 1; y >= 0; --y)
            for (int x = left; x <= right; ++x)
                if (channelDifference(a[at(x, y)], b[at(x, y)]) > kAlike) return y;
        return -1;
    }
};
}  // namespace

TEST_P(HelpLinePicture, CoversNoItemOnAnyScreenInEitherLanguage) {
    const DisplayShape& display = GetParam();
    ASSERT_NO_FATAL_FAILURE(show(display));
    for (int language : {0, 1}) {
        qor->language().setLanguage(language);
        for (const Screen& screen : kScreens) {
            ContextMenu* menu = screen.open();
            expectHelpLinesClear(*menu, std::string(language ? "German, " : "English, ") + screen.name,
                                 display.width > 0);
            menu->destroy();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, HelpLinePicture, ::testing::ValuesIn(kDisplayShapes), displayShapeName);
