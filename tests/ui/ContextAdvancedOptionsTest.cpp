// The advanced graphics options over a real graphics service: the screen opens on the
// mode in use (the later of two equal sizes), and an empty mode list closes keeping the
// mode.
#include <gtest/gtest.h>

#include "engine/BasicLink.h"
#include "render/QorGraphics.h"
#include "render/VideoMode.h"
#include "ui/ContextAdvancedOptions.h"
#include "ui/Global.h"
#include "ui/StackFixture.h"

namespace {
class ContextAdvancedOptionsTest : public StackFixture {
protected:
    QorGraphics& graphics() { return *qor->pQorGraphics; }
    int indexOf(int w, int h) {
        int i = 0;
        for (BasicLink* m = graphics().videoModes.firstChild; m; m = m->next, ++i) {
            const auto* mode = static_cast<VideoMode*>(m);
            if (mode->width == w && mode->height == h) return i;
        }
        return -1;
    }
};

TEST_F(ContextAdvancedOptionsTest, OpensOnTheModeInUseTheLaterOfTwoEqualSizes) {
    graphics().addVideoMode(1024, 768);
    graphics().videoModeWidth = 1024;
    graphics().videoModeHeight = 768;
    // A second entry of the same size after the first, as two refresh rates would give.
    auto* twin = new VideoMode(1024, 768);
    BasicLink* first = graphics().videoModes.firstChild;
    while (static_cast<VideoMode*>(first)->width != 1024) first = first->next;
    graphics().videoModes.insertChildAfter(twin, first);
    auto* screen = new ContextAdvancedOptions();
    EXPECT_EQ(screen->selectedMode, indexOf(1024, 768) + 1);
    EXPECT_EQ(screen->modeNames.size(), static_cast<std::size_t>(graphics().videoModes.countChildren()));
    EXPECT_EQ(screen->modeNames[static_cast<std::size_t>(screen->selectedMode)], u"1024x768 (4:3)");
    screen->destroy();
}

TEST_F(ContextAdvancedOptionsTest, WithNoModeListedClosingKeepsTheMode) {
    const int w = graphics().videoModeWidth, h = graphics().videoModeHeight;
    graphics().videoModes.deleteChildren();
    auto* screen = new ContextAdvancedOptions();
    EXPECT_TRUE(screen->modeNames.empty());
    EXPECT_EQ(screen->selectedMode, 0);
    stack->addChild(screen);
    tick();
    screen->bFinished = 1;
    tick();
    EXPECT_EQ(graphics().videoModeWidth, w);
    EXPECT_EQ(graphics().videoModeHeight, h);
}
}  // namespace
