#include <gtest/gtest.h>

#include "engine/Format.h"
#include "inputaudio/TouchPoint.h"
#include "ui/ContextDialog.h"
#include "ui/ContextLanguageSelect.h"
#include "ui/LanguageFlag.h"
#include "ui/StackFixture.h"

namespace {
class LanguageFlagTest : public StackFixture {
protected:
    void SetUp() override {
        StackFixture::SetUp();
        if (!started) return;
        Texture* flags = registerTexture(u"languageFlags", 80, 16 * 15, 0xFF808080u);
        for (int i = 0; i < 15; ++i) addSkin(flags, u"languageFlags", i, 0, 16 * i, 80, 16);
        qor->pQorInput->setInputMode(QorInput::kModeMouse);
    }
    ContextDialog* openScreen() {
        auto* screen = new ContextDialog();
        ContextLanguageSelect::create(screen);
        stack->addChild(screen);
        return screen;
    }
    LanguageFlag* flag(ContextDialog* screen, int k) {
        BasicLink* c = screen->firstChild;
        while (k-- > 0 && c) c = c->next;
        return static_cast<LanguageFlag*>(c);
    }
    // A press of the mouse at the pointer's place, in this frame.
    void click() {
        auto* contact = new TouchPoint();
        qor->pQorInput->addTouch(contact);
        contact->bPressed = 1;
    }
};
}  // namespace

TEST_F(LanguageFlagTest, TwoLanguagesStandInOneColumnAndThePointerIsParkedAway) {
    ContextDialog* screen = openScreen();
    EXPECT_EQ(screen->clearColor, 0xFF001030u);
    EXPECT_EQ(screen->bCloseOnEscape, 0);
    EXPECT_EQ(screen->bHideFrameRate, 1);
    EXPECT_EQ(screen->bShowPointer, 1);
    expectPoint(flag(screen, 0)->position, 0.0f, 50.0f, 0.0f);
    expectPoint(flag(screen, 1)->position, 0.0f, -50.0f, 0.0f);
    EXPECT_EQ(flag(screen, 1)->languageIndex, 1);
    EXPECT_EQ(flag(screen, 1)->pSkin, qor->pResourceManager->find(true, u"languageFlags:2"));  // "de"
    EXPECT_EQ(flag(screen, 2), nullptr);
    EXPECT_FLOAT_EQ(qor->pQorInput->pointerPosition.x, 720.0f);
    EXPECT_FLOAT_EQ(qor->pQorInput->pointerPosition.y, 48.0f);
    tick();
    expectPoint(flag(screen, 0)->getNavigationPoint(0), 400.0f, 290.0f, 0.0f);
    expectPoint(flag(screen, 0)->getNavigationPoint(1), -1.0f, -1.0f, -1.0f);
}

TEST_F(LanguageFlagTest, AMaskOfOneLanguageShowsOneFlagInTheMiddle) {
    qor->languageMask = u"10";
    ContextDialog* screen = openScreen();
    expectPoint(flag(screen, 0)->position, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(flag(screen, 1), nullptr);
}

TEST_F(LanguageFlagTest, AClickOnAFlagChoosesItsLanguageAndClosesTheScreenAndOneOutsideDoesNothing) {
    qor->defaultLanguage = -1;
    ContextDialog* screen = openScreen();
    tick();
    click();  // at the parked pointer, on no flag
    tick();
    EXPECT_FALSE(screen->bFinished);
    press(1);  // Escape does nothing here
    tick();
    EXPECT_FALSE(screen->bFinished);
    EXPECT_EQ(qor->defaultLanguage, -1);
    qor->pQorInput->setMousePos(400.0f, 190.0f, 0.0f);  // on the German flag
    click();
    tick();
    EXPECT_EQ(qor->defaultLanguage, 1);
    EXPECT_TRUE(screen->bFinished);
}

TEST_F(LanguageFlagTest, TheKeysWalkThePointerOverTheFlags) {
    ContextDialog* screen = openScreen();
    tick();
    press(208);  // down: nothing lies below the parked pointer
    tick();
    EXPECT_FLOAT_EQ(qor->pQorInput->pointerPosition.y, 48.0f);
    tick();      // keys rest in the frame after the switch to key navigation
    press(200);  // up: the upper flag is the straighter way up
    tick();
    EXPECT_FLOAT_EQ(qor->pQorInput->pointerPosition.y, 290.0f);
    press(208);
    tick();
    EXPECT_FLOAT_EQ(qor->pQorInput->pointerPosition.y, 190.0f);
    EXPECT_FALSE(screen->bFinished);
}

// Without a display: the check comes before anything is placed or drawn. A fresh process
// for each death, as a forked copy must not share a display that earlier tests opened.
TEST(LanguageFlagDeathTest, ASkinOutsideTheFlagTextureIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Qor engine{Qor::Headless{}};
    engine.pResourceManager = new ResourceManager();
    auto* flags = new Texture(16, 16, 0);  // one skin
    engine.pResourceManager->addResource(flags, u"languageFlags");
    EXPECT_EXIT(LanguageFlag(0, 1), ::testing::ExitedWithCode(255),
                "skinIndex >= 0 && skinIndex < tex->skins.size\\(\\)");
    EXPECT_EXIT(LanguageFlag(0, -1), ::testing::ExitedWithCode(255), "Assertion failed");
    flags->destroy();
    delete engine.pResourceManager;
    engine.pResourceManager = nullptr;
}
