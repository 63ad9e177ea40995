#include <gtest/gtest.h>

#include "render/Quad.h"
#include "ui/LoadingBar.h"
#include "ui/StackFixture.h"

namespace {
class LoadingBarTest : public StackFixture {
protected:
    void SetUp() override {
        StackFixture::SetUp();
        if (!started) return;
        texture = registerTexture(u"bar", 256, 64, 0xFF00FF00u);
        addSkin(texture, u"bar", 0, 0, 0, 256, 32);
        addSkin(texture, u"bar", 1, 0, 34, 240, 16);
    }
    Texture* texture = nullptr;
};

float fillWidth(const LoadingBar& bar) { return bar.fill.pSkin->width; }
}  // namespace

TEST_F(LoadingBarTest, TheFillGrowsFromTheLeftEdgeAndTheFractionIsClamped) {
    LoadingBar bar(texture, 0, 1);
    EXPECT_EQ(bar.progress, 0.0f);
    EXPECT_FLOAT_EQ(fillWidth(bar), 0.0f);
    EXPECT_FLOAT_EQ(bar.fill.position.x, -120.0f);
    bar.setProgress(0.5f);
    EXPECT_FLOAT_EQ(fillWidth(bar), 120.0f);
    EXPECT_FLOAT_EQ(bar.fill.pSkin->height, 16.0f);
    // The left edge stays put: the anchor is the middle of the left edge.
    EXPECT_FLOAT_EQ(bar.fill.local2world({-60.0f, 0.0f, 0.0f}).x, -120.0f);
    bar.setProgress(-0.5f);
    EXPECT_EQ(bar.progress, 0.0f);
    EXPECT_FLOAT_EQ(fillWidth(bar), 0.0f);
    bar.setProgress(1.5f);
    EXPECT_EQ(bar.progress, 1.0f);
    EXPECT_FLOAT_EQ(fillWidth(bar), 240.0f);
    EXPECT_FLOAT_EQ(bar.pSkin->width, 256.0f);
}

TEST_F(LoadingBarTest, TheFillMovesWithTheBarAndKeepsItsOwnPosition) {
    LoadingBar bar(texture, 0, 1);
    bar.setProgress(1.0f);
    bar.setPosition(30.0f, -40.0f, 0.0f);
    EXPECT_FLOAT_EQ(bar.fill.position.x, -120.0f);
    EXPECT_FLOAT_EQ(bar.fill.local2world({-120.0f, 0.0f, 0.0f}).x, 30.0f - 120.0f);  // the fill's left edge
    EXPECT_FLOAT_EQ(bar.fill.local2world({0.0f, 0.0f, 0.0f}).y, -40.0f);
}

TEST_F(LoadingBarTest, WithoutAFrameSkinOnlyTheFillIsDrawnAndAHiddenBarDrawsNothing) {
    useTouchScreen();  // no pointer drawn over the middle, where the bar is read
    auto* screen = new Context();
    screen->clearColor = 0xFF000000u;
    auto* bar = new LoadingBar(texture, -1, 1);
    EXPECT_EQ(bar->pSkin, nullptr);
    bar->setProgress(1.0f);
    screen->addChild(bar);
    stack->addChild(screen);
    auto centre = [this] {
        runFrame(stack);
        return pixelAt(160, 96);
    };
    EXPECT_EQ(centre(), 0xFF00FF00u);
    bar->bHidden = 1;
    EXPECT_EQ(centre(), 0xFF000000u);
}
