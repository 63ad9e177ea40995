// Accented letters of the game's own fonts, loaded from the archives as a German start
// loads them: each accent sits just above its letter, small letters included, because
// the fonts' line metrics are measured on the same glyph art.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Qor.h"
#include "game/GameGlobal.h"
#include "render/EngineFixture.h"
#include "render/FontQuad.h"
#include "render/ReferenceImage.h"
#include "render/TextScene.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"

namespace {
class FontAccentPicture : public EngineFixture {
protected:
    std::string settingsText() const override {
        return std::string(kTextPictureSettings) + "[Qor]\ndefaultLanguage=1\nbEnableDelayedLoad=No\n";
    }
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        global = new GameGlobal();
        global->initPreLoader();
        Context* loader = global->pContextManager->top();
        for (int i = 0; i < 400 && global->pContextManager->top() == loader; ++i) runFrame(global->pContextManager);
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
        }
        EngineFixture::TearDown();
    }
};

TEST_F(FontAccentPicture, AccentsSitJustAboveCapitalsAndSmallLettersAlike) {
    FontQuad* medium = global->fonts[Global::kFontMedium];
    FontQuad* large = global->fonts[Global::kFontLarge];
    ASSERT_NE(medium, nullptr);
    ASSERT_NE(large, nullptr);
    // Below the capitals' top: the small letters start lower in both faces.
    EXPECT_GT(medium->fontLowercaseLineRaw, medium->fontUppercaseLineRaw);
    EXPECT_GT(large->fontLowercaseLineRaw, large->fontUppercaseLineRaw);
    auto* scene = new TextScene([medium, large] {
        medium->drawTextAt(-390.0f, 230.0f, 0.0f, 0xFFFFFFFFu, 0, u"Zur\u00FCck");
        medium->drawTextAt(-300.0f, 230.0f, 0.0f, 0xFFFFFFFFu, 0, u"Gr\u00F6\u00DFe");
        medium->drawTextAt(-220.0f, 230.0f, 0.0f, 0xFFFFFFFFu, 0, u"\u00C4");
        large->drawTextAt(-390.0f, 185.0f, 0.0f, 0xFFFFFFFFu, 0, u"Zur\u00FCck");
        large->drawTextAt(-180.0f, 185.0f, 0.0f, 0xFFFFFFFFu, 0, u"\u00C4");
        large->drawTextAt(-390.0f, 120.0f, 0.0f, 0xFFFFFFFFu, 0, u"Gr\u00F6\u00DFe");
    });
    scene->clearColor = 0xFF203040u;
    runFrame(scene);
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> whole = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("font-accents-german", topLeftQuarter(whole, w, h), w / 2, h / 2, 24, 60));
    scene->destroy();
}
}  // namespace
