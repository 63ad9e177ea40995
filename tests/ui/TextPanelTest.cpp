#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/FadingText.h"
#include "ui/TextPanel.h"

namespace {
class TextPanelTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
};

TEST_F(TextPanelTest, CentredFlagsCentreEachLineOnXAndTheBlockOnY) {
    FadingText templ(0, 0, 0, u"abcd|ab", &engine.font, 0xFF00FF00u);  // line height 24
    templ.layoutFlags = 0x04 | 0x10;
    TextPanel panel(templ, 1000.0f);
    EXPECT_FLOAT_EQ(panel.height, 48.0f);
    auto* first = static_cast<FadingText*>(panel.firstChild);
    auto* second = static_cast<FadingText*>(panel.lastChild);
    EXPECT_FLOAT_EQ(first->position.x, -20.0f);
    EXPECT_FLOAT_EQ(first->position.y, 24.0f);
    EXPECT_FLOAT_EQ(second->position.x, -10.0f);
    EXPECT_FLOAT_EQ(second->position.y, 0.0f);
    EXPECT_EQ(second->layoutFlags, 3);
}

TEST_F(TextPanelTest, LabelsTakeTheTemplateColourAndGoTogether) {
    FadingText templ(0, 0, 0, u"a \x1E{ff0000}b", &engine.font, 0xFF00FF00u);
    templ.lifetime = 0.5;
    auto* holder = new QorBase();
    auto* panel = new TextPanel(templ, 1000.0f);
    holder->addChild(panel);
    ASSERT_EQ(panel->countChildren(), 2);
    EXPECT_EQ(static_cast<FadingText*>(panel->lastChild)->color, 0xFF00FF00u);
    for (int i = 0; i < 12; ++i) holder->tick(0.0, 0.0625);
    EXPECT_EQ(holder->countChildren(), 0);
    holder->destroy();
}
}  // namespace
