#include <gtest/gtest.h>

#include "ui/ContextSplash.h"
#include "ui/LogoImage.h"
#include "ui/StackFixture.h"

namespace {
class ContextSplashTest : public StackFixture {
protected:
    void SetUp() override {
        StackFixture::SetUp();
        if (!started) return;
        registerQuadTexture(u"logo", 64, 32, 0xFF0000FFu);
        qor->pResourceManager->addResource(qor->pResourceManager->find(true, u"logo:0"), u"logo:all");
        registerQuadTexture(u"qrstudios", 64, 32, 0xFFFFFF00u);
    }
    // The logo screen's own clock, moved by hand.
    static void advance(ContextSplash& splash, LogoImage* logo, double seconds) {
        splash.localTime += seconds;
        if (logo) logo->tick(splash.localTime, seconds);
    }
};
}  // namespace

TEST_F(ContextSplashTest, TheMakersLogoFadesInStaysFadesOutAndGoesASecondBeforeTheScreen) {
    auto* splash = new ContextSplash();
    stack->addChild(splash);
    auto* logo = static_cast<LogoImage*>(splash->firstChild);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->pSkin, qor->pResourceManager->find(true, u"qrstudios:0"));
    EXPECT_EQ(logo->scaleMode, Renderable::kScaleAspect);
    advance(*splash, logo, 0.125);
    EXPECT_EQ(logo->color >> 24, 128u);
    advance(*splash, logo, 0.5);
    EXPECT_EQ(logo->color >> 24, 255u);
    advance(*splash, logo, 1.625);  // 2.25 s: half-way through the fade-out
    EXPECT_EQ(logo->color >> 24, 128u);
    advance(*splash, logo, 0.25);
    EXPECT_TRUE(logo->pendingDelete);
    EXPECT_EQ(splash->duration, 3.5);
    EXPECT_EQ(splash->bCloseOnFireKey, 1);
    EXPECT_EQ(splash->bCloseOnEscape, 1);
    EXPECT_EQ(splash->bShowPointer, 0);
}

TEST_F(ContextSplashTest, AFireKeyDuringTheFadeInClosesItAtOnce) {
    auto* splash = new ContextSplash();
    stack->addChild(splash);
    tick();
    press(57);
    tick();
    EXPECT_TRUE(splash->bFinished);
}

TEST_F(ContextSplashTest, ItClosesItselfOnceItsOwnClockPassesItsDuration) {
    auto* splash = new ContextSplash();
    stack->addChild(splash);
    tick();
    splash->localTime = 3.49;
    splash->tick(0.0, 0.0);
    EXPECT_FALSE(splash->bFinished);
    splash->localTime = 3.51;
    splash->tick(0.0, 0.0);
    EXPECT_TRUE(splash->bFinished);
}

TEST_F(ContextSplashTest, ALogoImageThatStaysKeepsBeingDrawnAfterItsLifetime) {
    LogoImage logo;
    logo.bAutoRemove = 0;
    logo.lifetime = 1.0;
    logo.delay = 0.5;
    logo.tick(0.0, 0.25);
    EXPECT_GT(logo.delay, 0.0);
    EXPECT_EQ(logo.age, 0.0);
    logo.tick(0.0, 0.25);
    logo.tick(0.0, 2.0);
    EXPECT_EQ(logo.color >> 24, 255u);  // no fades: opaque throughout
    EXPECT_FALSE(logo.pendingDelete);
}
