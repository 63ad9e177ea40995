#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/GUIthemeMinimal.h"
#include "ui/GUIthemeStandard.h"
#include "ui/NineSliceFrame.h"

namespace {
class GUIthemeStandardTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char16_t* name : {u"gui-standard-thickframe", u"gui-standard-tab", u"gui-minimal-generic"})
            for (int i = 0; i < 3; ++i)
                engine.addSkin(std::u16string(name) + u":" + static_cast<char16_t>(u'0' + i), 40.0f + 10.0f * i, 30.0f);
    }
    MenuTestEngine engine;
};

TEST_F(GUIthemeStandardTest, FacesComeFromSkinsOneZeroAndTwoOfTheStylesTexture) {
    GUIthemeStandard theme;
    GUItheme::StyledWidget widget;
    widget.margins = {4, 4, 4, 4};
    theme.setStyle(widget, 3);
    ASSERT_NE(widget.faces[0], nullptr);
    EXPECT_FLOAT_EQ(widget.faces[0]->width, 50.0f);  // skin 1
    EXPECT_FLOAT_EQ(widget.faces[1]->width, 40.0f);  // skin 0
    EXPECT_FLOAT_EQ(widget.faces[2]->width, 60.0f);  // skin 2
    EXPECT_EQ(widget.faces[0]->margins[0], 4);
    EXPECT_EQ(theme.metrics[2], 2);
}

TEST_F(GUIthemeStandardTest, TabsSetTheirOwnMarginsAndStyleZeroDoesNothing) {
    GUIthemeStandard theme;
    GUItheme::StyledWidget widget;
    theme.setStyle(widget, 0);
    EXPECT_EQ(widget.faces[0], nullptr);
    theme.setStyle(widget, 10);
    EXPECT_EQ(widget.margins, (std::array<std::int32_t, 4>{10, 5, 5, 10}));
    EXPECT_EQ(theme.metrics, (std::array<std::int32_t, 3>{20, 3, 1}));
    GUIthemeMinimal minimal;
    minimal.setStyle(widget, 7);
    EXPECT_EQ(widget.margins[0], 10);  // the minimal theme changes no margins
    EXPECT_EQ(minimal.paddings[0], 3);
}

TEST_F(GUIthemeStandardTest, AnUnknownStyleStopsTheProgram) {
    GUIthemeStandard standard;
    GUIthemeMinimal minimal;
    GUItheme::StyledWidget widget;
    EXPECT_DEATH(standard.setStyle(widget, 12), "Unhandled style");
    EXPECT_DEATH(minimal.setStyle(widget, 12), "Unhandled style");
}
}  // namespace
