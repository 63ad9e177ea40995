// The advanced graphics options over a real graphics service: the screen opens on the
// mode in use, listed once whatever its refresh rates; a size in use that the screen has
// no mode for (a window's) is offered at its place and kept on leaving, also with no
// mode listed at all, while another mode chosen is applied.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/Qor.h"
#include "render/QorGraphics.h"
#include "render/VideoMode.h"
#include "ui/ContextAdvancedOptions.h"
#include "ui/Global.h"
#include "ui/StackFixture.h"

namespace {
class ContextAdvancedOptionsTest : public StackFixture {
protected:
    QorGraphics& graphics() { return *qor->pQorGraphics; }
    // The screen's modes are only `sizes`, and the graphics service uses w x h with the
    // configuration's switches.
    void useModes(const std::vector<std::pair<int, int>>& sizes, int w, int h) {
        const GameConfiguration& c = global->configuration;
        graphics().bFullScreen = c.bFullScreen;
        graphics().bAllowLetterbox = c.bAllowLetterbox;
        graphics().bUseVSync = c.bUseVSync;
        graphics().videoModes.deleteChildren();
        for (auto [mw, mh] : sizes) graphics().addVideoMode(mw, mh);
        graphics().videoModeWidth = w;
        graphics().videoModeHeight = h;
        qor->resetRequest = false;
    }
    // The screen opened, `change` done on it, and closed with Back.
    template <class F>
    void openAndLeave(F change) {
        auto* screen = new ContextAdvancedOptions();
        stack->addChild(screen);
        tick();
        change(*screen);
        screen->bFinished = 1;
        tick();
    }
};

// The adapter gives a size once for each refresh rate and format it has it in, and the
// service is told of each: the screen offers the size once and opens on it.
TEST_F(ContextAdvancedOptionsTest, OpensOnTheModeInUseListedOnceWhateverItsRefreshRates) {
    useModes({{1024, 768}, {800, 600}, {1024, 768}, {1280, 1024}, {1024, 768}}, 1024, 768);
    auto* screen = new ContextAdvancedOptions();
    EXPECT_EQ(screen->modeNames,
              (std::vector<std::u16string>{u"800x600 (4:3)", u"1024x768 (4:3)", u"1280x1024 (5:4)"}));
    EXPECT_EQ(screen->selectedMode, 1);
    screen->destroy();
}

TEST_F(ContextAdvancedOptionsTest, WithNoModeListedTheSizeInUseIsOfferedAndKept) {
    const int w = graphics().videoModeWidth, h = graphics().videoModeHeight;
    graphics().videoModes.deleteChildren();
    auto* screen = new ContextAdvancedOptions();
    EXPECT_EQ(screen->modeNames, std::vector<std::u16string>{VideoMode(w, h).toString()});
    EXPECT_EQ(screen->selectedMode, 0);
    stack->addChild(screen);
    tick();
    screen->bFinished = 1;
    tick();
    EXPECT_EQ(graphics().videoModeWidth, w);
    EXPECT_EQ(graphics().videoModeHeight, h);
}

// A 1280x800 window on a screen whose only mode is 1600x1000, as a stored size the modes
// lack would be: the size is listed before the larger mode and chosen, and leaving with
// only the frame rate's switch touched neither resizes the window nor restarts the device.
TEST_F(ContextAdvancedOptionsTest, AWindowSizeTheScreenHasNoModeForIsOfferedAndKeptOnLeaving) {
    useModes({{1600, 1000}}, 1280, 800);
    const std::uint8_t fps = global->configuration.bShowFps;
    std::vector<std::u16string> names;
    std::int32_t chosen = -1;
    openAndLeave([&](ContextAdvancedOptions& screen) {
        names = screen.modeNames;
        chosen = screen.selectedMode;
        global->configuration.bShowFps = fps ? 0 : 1;
    });
    EXPECT_EQ(names, (std::vector<std::u16string>{u"1280x800 (16:10)", u"1600x1000 (16:10)"}));
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(graphics().videoModeWidth, 1280);
    EXPECT_EQ(graphics().videoModeHeight, 800);
    EXPECT_FALSE(qor->resetRequest);

    // Between two modes it stands at its place by size.
    useModes({{800, 600}, {1280, 720}, {1280, 1024}, {1600, 1000}}, 1280, 800);
    auto* screen = new ContextAdvancedOptions();
    ASSERT_EQ(screen->modeNames.size(), 5u);
    EXPECT_EQ(screen->modeNames[2], u"1280x800 (16:10)");
    EXPECT_EQ(screen->selectedMode, 2);
    screen->destroy();
}

// Another mode chosen is still applied, before or after the size in use; and a size that
// is one of the modes (as in full screen, where the service always takes one) is not
// offered twice.
TEST_F(ContextAdvancedOptionsTest, AnotherModeChosenIsAppliedAndAListedSizeIsNotOfferedTwice) {
    for (int step : {1, -1}) {
        useModes({{800, 600}, {1600, 1000}}, 1280, 800);
        openAndLeave([step](ContextAdvancedOptions& screen) { screen.selectedMode += step; });
        EXPECT_EQ(graphics().videoModeWidth, step > 0 ? 1600 : 800);
        EXPECT_EQ(graphics().videoModeHeight, step > 0 ? 1000 : 600);
        EXPECT_TRUE(qor->resetRequest);
    }
    useModes({{800, 600}, {1600, 1000}}, 1600, 1000);
    std::vector<std::u16string> names;
    openAndLeave([&names](ContextAdvancedOptions& screen) {
        names = screen.modeNames;
        EXPECT_EQ(screen.selectedMode, 1);
    });
    EXPECT_EQ(names, (std::vector<std::u16string>{u"800x600 (4:3)", u"1600x1000 (16:10)"}));
    EXPECT_FALSE(qor->resetRequest);
}
}  // namespace
