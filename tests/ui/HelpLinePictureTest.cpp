// The help line of every menu screen that shows one, drawn by the running program with
// its own art and fonts: the line and its backing cover no pixel that the screen's items
// draw (frames, shadows, captions and values), and the line stands on the bottom edge of
// the picture; in English and German, in a window of the virtual screen's shape and full
// screen at 4:3, 16:10, 16:9, 21:9 and upright 9:16, the last both with the bars the game
// puts around a shape far from its own and stretched. One test a shape.
//
// What a part draws is found as the pixels that change when it alone is hidden or shown.
// The screens are drawn off the stack, each just as it is built: ticks would only fade
// in their titles and move the snow, and every frame costs a software renderer as much
// as several such pictures. Away from the window, each screen shows its widest help line
// only: the lines are all centred on the same band, so the widest one's backing holds
// every other's.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
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
#include "ui/MenuFonts.h"
#include "ui/MenuItem.h"
#include "ui/ProgramFixture.h"
#include "ui/TextFont.h"

namespace {
// Mesa's softpipe filters some texels a little apart (by up to 15 of 255 on a scaled
// picture) when the draws around them are batched otherwise, as a help line drawn last
// makes them: pixels this close count as alike, as in the reference pictures. The opaque
// backing changes whatever it covers by far more.
constexpr int kAlike = 24;

struct Display {
    const char* name;   // of the test
    int width, height;  // full screen at this size; 0 x 0: the window of the virtual screen's shape
    bool bars;          // letterbox or pillarbox a shape far from the virtual screen's
};
void PrintTo(const Display& d, std::ostream* out) { *out << d.name; }
// Small sizes of each shape. 16:10 and 16:9 are near enough the virtual screen's 5:3 to
// be stretched whatever the setting; stretched, 4:3 and 21:9 keep the window's 480 rows.
constexpr Display kDisplays[] = {
    {"Window5to3", 0, 0, true},
    {"FullScreen4to3", 640, 480, true},
    {"FullScreen16to10", 768, 480, true},
    {"FullScreen16to9", 854, 480, true},
    {"FullScreen21to9", 840, 360, true},
    {"FullScreen9to16", 450, 800, true},
    {"FullScreen9to16Stretched", 450, 800, false},
};

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

class HelpLinePicture : public ScreenSizedProgramFixture, public ::testing::WithParamInterface<Display> {
protected:
    std::string settingsText() const override { return screenSizedSettings() + "bEnableDelayedLoad=No\n"; }
    void SetUp() override {
        ScreenSizedProgramFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        GraphicsDevice::keepPresentedFrames = false;  // the pictures are drawn off the frames
        ASSERT_TRUE(skipToTheTitle());
    }

    // As the advanced options apply a choice: through the configuration, which the
    // network test's page applies again when it closes. The device restarts over the
    // next frames.
    void show(const Display& display) {
        GameConfiguration& c = global->configuration;
        QorGraphics& g = qor->graphics();
        const bool full = display.width > 0;
        const int w = full ? display.width : 800, h = full ? display.height : 480;
        c.bFullScreen = full ? 1 : 0;
        c.bAllowLetterbox = display.bars ? 1 : 0;
        if (full) {
            g.videoModes.deleteChildren();
            g.addVideoMode(w, h);
        }
        global->applySettings(w, h);
        ASSERT_TRUE(tickUntil(
            [&] {
                return !qor->resetRequest && qor->qorMode == Qor::MODE_OK && g.backBufferWidth == w &&
                       g.backBufferHeight == h;
            },
            10));
    }
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
    std::vector<std::uint32_t> drawn(Context& screen) { return drawOffScreen(screen, width, height); }
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }

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

    int width = 0, height = 0;  // of the last picture
};
}  // namespace

TEST_P(HelpLinePicture, CoversNoItemOnAnyScreenInEitherLanguage) {
    const Display& display = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Shapes, HelpLinePicture, ::testing::ValuesIn(kDisplays),
                         [](const ::testing::TestParamInfo<Display>& info) { return std::string(info.param.name); });
