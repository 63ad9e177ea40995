// The credits as a player sees them: chosen on the title menu, they rise over the menu
// background and end by themselves after a minute, or at once on Escape.
#include <gtest/gtest.h>

#include "engine/TypedLink.h"
#include "support/FrameStep.h"
#include "ui/ContextCredits.h"
#include "ui/ContextMainGame.h"
#include "ui/FadingText.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"
#include "ui/TextPage.h"

namespace {
constexpr int kEscape = 1;

class ContextCreditsTest : public ScreenSizedProgramFixture {
protected:
    ContextCredits* openCredits() {
        clickOn(*top<ContextMainGame>()->creditsItem);
        return top<ContextCredits>();
    }
};

TEST_F(ContextCreditsTest, TheCreditsRiseAndEndAfterAMinuteOrAtOnceOnEscape) {
    startToTheTitle();
    useSteppedClock(kFrameStep);
    ContextCredits* credits = openCredits();
    ASSERT_NE(credits, nullptr);
    TypedLink<FadingText> title;
    title = dynamic_cast<FadingText*>(static_cast<QorBase*>(credits->pTextPage->content->firstChild));
    ASSERT_NE(title.get(), nullptr);
    EXPECT_EQ(title->text, u"Torvane 2");
    const float start = title->position.y;
    frames(100);
    EXPECT_GT(title->position.y, start + 140.0f);
    EXPECT_EQ(title->getAlpha(), 255);

    int shown = 100;
    while (!ended && top<ContextCredits>() && shown < 2000) {
        frames(1);
        ++shown;
    }
    EXPECT_NE(top<ContextMainGame>(), nullptr);
    EXPECT_NEAR(shown * kFrameStep, 60.0, 1.0);
    EXPECT_EQ(title.get(), nullptr);  // deleted with the page

    ASSERT_NE(openCredits(), nullptr);
    tapKey(kEscape);
    EXPECT_NE(top<ContextMainGame>(), nullptr);
    EXPECT_FALSE(ended);
}
}  // namespace
